#include "ShipLock.h"

#include "CFileException.h"

#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <filesystem>
#include <sys/file.h>
#include <thread>
#include <unistd.h>

std::string CShipLock::LockPath(const std::string& shipPath) {
    namespace fs = std::filesystem;
    std::error_code error;
    fs::path target = fs::weakly_canonical(fs::absolute(shipPath, error), error);
    if (error || target.empty())
        target = fs::absolute(shipPath);
    std::string name = ".";
    name += target.filename().string();
    name += ".lock";
    return (target.parent_path() / name).string();
}

CShipLock::CShipLock(const std::string& shipPath) {
    const std::string path = LockPath(shipPath);
    m_fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0644);
    if (m_fd < 0)
        throw CFileException(CFileException::CauseFromErrno(errno), path,
                             std::string("cannot open the lock of the ship: ") +
                                 std::strerror(errno));
    double wait = 5;
    if (const char* text = std::getenv("BRELUND_LOCK_WAIT")) {
        const double value = std::strtod(text, nullptr);
        if (value >= 0 && value < 3600)
            wait = value;
    }
    const auto until = std::chrono::steady_clock::now() + std::chrono::duration<double>(wait);
    while (::flock(m_fd, LOCK_EX | LOCK_NB) != 0) {
        if (errno != EWOULDBLOCK && errno != EINTR) {
            const int err = errno;
            ::close(m_fd);
            throw CFileException(CFileException::CauseFromErrno(err), path,
                                 std::string("cannot lock the ship: ") + std::strerror(err));
        }
        if (std::chrono::steady_clock::now() >= until) {
            ::close(m_fd);
            throw CFileException(CFileException::sharingViolation, shipPath,
                                 "the ship is being changed by another process; try again when "
                                 "it has finished");
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
}

CShipLock::~CShipLock() {
    if (m_fd >= 0)
        ::close(m_fd); // releases the lock
}
