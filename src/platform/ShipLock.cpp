#include "ShipLock.h"

#include "AtomicFile.h"
#include "CFileException.h"
#include "NumberText.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <map>
#include <mutex>
#include <stdexcept>
#include <sys/file.h>
#include <sys/stat.h>
#include <thread>
#include <unistd.h>

namespace {

using Clock = std::chrono::steady_clock;

CMessage Busy() {
    return {"the ship is being changed by another process; try again when it has finished",
            "la nave è in corso di modifica da parte di un altro processo; riprovare quando avrà "
            "finito"};
}

// The locks this process holds, by the device and inode of what is locked:
// flock locks belong to an open file, so a second open of a file this
// process has locked would wait for itself.
struct CHeld {
    int fd;
    CShipLock::Mode mode;
    int count;
};
std::mutex g_heldMutex;
std::map<std::pair<std::uint64_t, std::uint64_t>, CHeld> g_held;

[[noreturn]] void ThrowErrno(int err, const std::string& path, const CMessage& what) {
    throw CFileException(CFileException::CauseFromErrno(err), path,
                         what + Verbatim(": ") + ErrnoText(err));
}

// English only, as CFile's: the application's headline names the cause.
[[noreturn]] void ThrowOpenErrno(int err, const std::string& path) {
    throw CFileException(CFileException::CauseFromErrno(err), path,
                         std::string("cannot open: ") + std::strerror(err));
}

Clock::time_point Deadline() {
    double wait = 5;
    if (const char* text = std::getenv("BRELUND_LOCK_WAIT")) {
        const double value = NumberOr(text, -1);
        if (value >= 0 && value < 3600)
            wait = value;
    }
    return Clock::now() +
           std::chrono::duration_cast<Clock::duration>(std::chrono::duration<double>(wait));
}

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// Takes (or changes to) the lock of kind operation on fd, waiting until
// deadline; false when another process held it all that time.
bool Acquire(int fd, int operation, Clock::time_point deadline, const std::string& path) {
    while (::flock(fd, operation | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR)
            ThrowErrno(errno, path, {"cannot lock the ship", "impossibile bloccare la nave"});
        if (Clock::now() >= deadline)
            return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return true;
}

// Whether path still leads to what was locked: the same file, or, for a ship
// still to be created, no file at all.
bool StillLeadsTo(const std::string& path, bool folder, const struct stat& locked) {
    struct stat now {};
    if (::stat(path.c_str(), &now) != 0)
        return folder && errno == ENOENT;
    return !folder && now.st_dev == locked.st_dev && now.st_ino == locked.st_ino;
}

} // namespace

CShipLock::CShipLock(const std::string& shipPath, Mode mode) {
    if (shipPath.empty())
        throw CFileException(
            CFileException::fileNotFound, shipPath,
            CMessage("no ship file: the path is empty", "nessun file nave: il percorso è vuoto"));
    const Clock::time_point deadline = Deadline();
    for (;;) {
        bool folder = false;
        int fd = -1;
        struct stat st {};
        if (::stat(shipPath.c_str(), &st) != 0) {
            if (errno != ENOENT)
                ThrowOpenErrno(errno, shipPath);
            // Nothing to read; a writer will create the file in its folder.
            if (mode == shared)
                return;
            fd = ::open(FolderOf(FollowSymbolicLinks(shipPath)).c_str(),
                        O_RDONLY | O_DIRECTORY | O_CLOEXEC);
            if (fd < 0)
                return; // the save says why the file cannot be made there
            folder = true;
        } else {
            // A directory, FIFO or device is refused by its kind where it is
            // read or written; opening it could wait or act on a device.
            if (!S_ISREG(st.st_mode))
                return;
            // Read and write, to put back an interrupted save; read only is
            // enough to lock.
            fd = ::open(shipPath.c_str(), O_RDWR | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
            if (fd < 0 && (errno == EACCES || errno == EPERM || errno == EROFS))
                fd = ::open(shipPath.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
            if (fd < 0) {
                if (errno == ENOENT)
                    continue; // removed or replaced just now
                ThrowOpenErrno(errno, shipPath);
            }
        }
        struct stat locked {};
        if (::fstat(fd, &locked) != 0 || (!folder && !S_ISREG(locked.st_mode))) {
            ::close(fd);
            continue;
        }
        const auto key = std::make_pair(static_cast<std::uint64_t>(locked.st_dev),
                                        static_cast<std::uint64_t>(locked.st_ino));
        {
            const std::lock_guard<std::mutex> guard(g_heldMutex);
            const auto held = g_held.find(key);
            if (held != g_held.end()) {
                ::close(fd);
                if (held->second.mode == shared && mode == exclusive)
                    throw std::logic_error("a ship locked for reading cannot be locked for "
                                           "writing by the same process");
                ++held->second.count;
                m_device = key.first;
                m_inode = key.second;
                m_fd = held->second.fd;
                return;
            }
        }
        try {
            if (!Acquire(fd, mode == exclusive ? LOCK_EX : LOCK_SH, deadline, shipPath))
                throw CFileException(CFileException::sharingViolation, shipPath, Busy());
            // A save may have replaced the file, or created it, while this waited.
            if (!StillLeadsTo(shipPath, folder, locked)) {
                ::close(fd);
                continue;
            }
            // A save killed while it wrote the file in place is undone before
            // anyone reads the file; a reader takes the writer's lock for it.
            if (!folder && (mode == exclusive || HasInterruptedSave(shipPath, fd))) {
                if (mode == shared) {
                    if (!Acquire(fd, LOCK_EX, deadline, shipPath))
                        throw CFileException(CFileException::sharingViolation, shipPath, Busy());
                    if (!StillLeadsTo(shipPath, folder, locked)) {
                        ::close(fd);
                        continue;
                    }
                }
                CMessage note = RestoreInterruptedSave(shipPath, fd);
                if (!note.english.empty())
                    m_notes.push_back(std::move(note));
                if (mode == shared)
                    Acquire(fd, LOCK_SH, deadline, shipPath); // never waits: it holds more
            }
        } catch (...) {
            ::close(fd);
            throw;
        }
        const std::lock_guard<std::mutex> guard(g_heldMutex);
        g_held[key] = {fd, mode, 1};
        m_device = key.first;
        m_inode = key.second;
        m_fd = fd;
        return;
    }
}

CShipLock::~CShipLock() {
    Release();
}

void CShipLock::Release() {
    if (m_fd < 0)
        return;
    const std::lock_guard<std::mutex> guard(g_heldMutex);
    const auto held = g_held.find({m_device, m_inode});
    if (held != g_held.end() && --held->second.count == 0) {
        ::close(held->second.fd); // releases the lock
        g_held.erase(held);
    }
    m_fd = -1;
}
