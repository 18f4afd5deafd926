#include "CFile.h"

#include "FileType.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

CMessage NotARegularFile(mode_t mode) {
    return CMessage("cannot open: it is ", "impossibile aprirlo: è ") +
           NonRegularFileKindText(mode) +
           CMessage(", not a regular file", ", non un file regolare");
}

} // namespace

CFile::CFile(const std::string& path, unsigned flags) {
    Open(path, flags);
}

CFile::~CFile() {
    Abort();
}

void CFile::Open(const std::string& path, unsigned flags) {
    Abort();
    m_path = path;
    if (!(flags & (modeWrite | modeCreate))) {
        OpenForReading();
        return;
    }
    int oflags = O_CLOEXEC;
    if ((flags & modeReadWrite) == modeReadWrite)
        oflags |= O_RDWR;
    else if (flags & modeWrite)
        oflags |= O_WRONLY;
    else
        oflags |= O_RDONLY;
    if (flags & modeCreate)
        oflags |= O_CREAT | O_TRUNC;
    m_fd = ::open(path.c_str(), oflags, 0666);
    if (m_fd < 0)
        FailOpen();
    struct stat st {};
    if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        Abort();
        Fail(CFileException::accessDenied,
             CMessage("cannot open: is a directory", "impossibile aprirlo: è una cartella"));
    }
    m_write_buffered = (flags & modeWriteBuffered) && (flags & modeReadWrite) == modeWrite;
}

void CFile::OpenForReading() {
    // O_NONBLOCK: opening a FIFO must not wait for a writer, nor a device
    // for its line; O_NOCTTY: a terminal must not become ours.
    m_fd = ::open(m_path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
    if (m_fd < 0) {
        const int err = errno;
        struct stat st {};
        // A socket cannot be opened at all: say what it is rather than ENXIO.
        if (err == ENXIO && ::stat(m_path.c_str(), &st) == 0 && !S_ISREG(st.st_mode))
            Fail(CFileException::notRegularFile, NotARegularFile(st.st_mode));
        errno = err;
        FailOpen();
    }
    struct stat st {};
    if (::fstat(m_fd, &st) != 0) {
        const int err = errno;
        Abort();
        errno = err;
        FailOpen();
    }
    if (!S_ISREG(st.st_mode)) {
        Abort();
        Fail(CFileException::notRegularFile, NotARegularFile(st.st_mode));
    }
    const int fl = ::fcntl(m_fd, F_GETFL);
    if (fl < 0 || ::fcntl(m_fd, F_SETFL, fl & ~O_NONBLOCK) != 0) {
        const int err = errno;
        Abort();
        errno = err;
        FailOpen();
    }
    // The kernel's files (/proc, /sys) are regular files of size 0 whose
    // content is made as they are read: the readers take a file's length
    // as its size, and such a file cannot even seek to its end.
    if (st.st_size == 0) {
        char probe;
        ssize_t n;
        do
            n = ::read(m_fd, &probe, 1);
        while (n < 0 && errno == EINTR);
        if (n != 0) {
            const int err = errno;
            Abort();
            if (n < 0) {
                errno = err;
                FailErrno({"read error", "errore di lettura"});
            }
            Fail(CFileException::notRegularFile,
                 CMessage("cannot be read as a whole: its size is given as 0 bytes, yet reading "
                          "it gives bytes (a file made up as it is read, as under /proc)",
                          "non si può leggere per intero: la sua dimensione risulta di 0 byte, "
                          "ma leggendolo si ottengono byte (un file prodotto mentre lo si legge, "
                          "come in /proc)"));
        }
    }
    m_buffered = true;
    m_length = static_cast<std::uint64_t>(st.st_size);
}

bool CFile::FillBuffer() {
    if (!m_buffer) {
        m_buffer_size = ReadBufferSize();
        m_buffer = std::make_unique<char[]>(m_buffer_size);
    }
    for (;;) {
        const ssize_t n = ::read(m_fd, m_buffer.get(), m_buffer_size);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            m_buffer_pos = m_buffer_end = 0;
            FailErrno({"read error", "errore di lettura"});
        }
        m_buffer_pos = 0;
        m_buffer_end = static_cast<std::size_t>(n);
        return n > 0;
    }
}

std::size_t CFile::ReadDirect(char* out, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(m_fd, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FailErrno({"read error", "errore di lettura"});
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

std::size_t CFile::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    if (!m_buffered) {
        WritePending();
        return ReadDirect(out, count);
    }
    std::size_t done = 0;
    while (done < count) {
        if (m_buffer_pos == m_buffer_end) {
            // A large request goes straight to its destination.
            if (count - done >= ReadBufferSize()) {
                // The buffer no longer holds the bytes before the position.
                m_buffer_pos = m_buffer_end = 0;
                try {
                    done += ReadDirect(out + done, count - done);
                } catch (...) {
                    m_position += done;
                    throw;
                }
                break;
            }
            try {
                if (!FillBuffer())
                    break;
            } catch (...) {
                m_position += done;
                throw;
            }
        }
        const std::size_t take = std::min(count - done, m_buffer_end - m_buffer_pos);
        std::memcpy(out + done, m_buffer.get() + m_buffer_pos, take);
        m_buffer_pos += take;
        done += take;
    }
    m_position += done;
    return done;
}

void CFile::DropBuffer() {
    if (m_buffer_pos == m_buffer_end)
        return;
    m_buffer_pos = m_buffer_end = 0;
    if (::lseek(m_fd, static_cast<off_t>(m_position), SEEK_SET) < 0)
        FailErrno({"seek error", "errore di posizionamento"});
}

std::size_t CFile::ReadBufferSize() const {
    // No larger than the file: a small file costs a small buffer.
    return static_cast<std::size_t>(
        std::clamp<std::uint64_t>(m_length, kMinBufferSize, kBufferSize));
}

void CFile::ResetBuffer() noexcept {
    m_buffered = false;
    m_write_buffered = false;
    m_buffer.reset();
    m_buffer_size = 0;
    m_buffer_pos = m_buffer_end = 0;
    m_position = 0;
    m_length = 0;
}

void CFile::Write(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    if (count == 0)
        return;
    if (m_write_buffered) {
        if (m_buffer_end + count > kBufferSize) {
            WritePending();
            if (count >= kBufferSize) {
                WriteDirect(in, count);
                return;
            }
        }
        if (!m_buffer) {
            m_buffer = std::make_unique<char[]>(kBufferSize);
            m_buffer_size = kBufferSize;
        }
        std::memcpy(m_buffer.get() + m_buffer_end, in, count);
        m_buffer_end += count;
        return;
    }
    if (m_buffered)
        DropBuffer();
    WriteDirect(in, count);
}

void CFile::WritePending() {
    if (!m_write_buffered || m_buffer_end == 0)
        return;
    const std::size_t count = m_buffer_end;
    // Dropped even when the write fails: the file is then not to be trusted.
    m_buffer_end = 0;
    WriteDirect(m_buffer.get(), count);
}

void CFile::WriteDirect(const char* in, std::size_t count) {
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(m_fd, in + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FailErrno({"write error", "errore di scrittura"});
        }
        done += static_cast<std::size_t>(n);
        if (m_buffered)
            m_position += static_cast<std::size_t>(n);
    }
}

std::uint64_t CFile::Seek(std::int64_t offset, SeekPosition from) {
    if (m_buffered && from != end) {
        // Within the bytes read ahead, only the buffer's cursor moves.
        const auto position = static_cast<std::int64_t>(m_position);
        std::int64_t target = offset;
        if (from == current && __builtin_add_overflow(position, offset, &target)) {
            errno = EOVERFLOW;
            FailErrno({"seek error", "errore di posizionamento"});
        }
        const std::int64_t bufferStart = position - static_cast<std::int64_t>(m_buffer_pos);
        if (target >= bufferStart &&
            target <= bufferStart + static_cast<std::int64_t>(m_buffer_end)) {
            m_buffer_pos = static_cast<std::size_t>(target - bufferStart);
            m_position = static_cast<std::uint64_t>(target);
            return m_position;
        }
        m_buffer_pos = m_buffer_end = 0;
        const off_t pos = ::lseek(m_fd, static_cast<off_t>(target), SEEK_SET);
        if (pos < 0) {
            // The descriptor stays where the buffer left it: put it back.
            const int err = errno;
            ::lseek(m_fd, static_cast<off_t>(m_position), SEEK_SET);
            errno = err;
            FailErrno({"seek error", "errore di posizionamento"});
        }
        m_position = static_cast<std::uint64_t>(pos);
        return m_position;
    }
    if (m_buffered)
        DropBuffer();
    WritePending();
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (pos < 0)
        FailErrno({"seek error", "errore di posizionamento"});
    if (m_buffered)
        m_position = static_cast<std::uint64_t>(pos);
    return static_cast<std::uint64_t>(pos);
}

std::uint64_t CFile::GetPosition() const {
    if (m_buffered)
        return m_position;
    off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0)
        FailErrno({"cannot tell the position", "impossibile leggere la posizione"});
    return static_cast<std::uint64_t>(pos) + (m_write_buffered ? m_buffer_end : 0);
}

std::uint64_t CFile::GetLength() const {
    if (m_buffered)
        return m_length;
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        FailErrno({"cannot tell the length", "impossibile leggere la lunghezza"});
    const auto length = static_cast<std::uint64_t>(st.st_size);
    if (m_write_buffered && m_buffer_end > 0)
        return std::max(length, GetPosition());
    return length;
}

void CFile::SetLength(std::uint64_t length) {
    WritePending();
    int rc;
    do
        rc = ::ftruncate(m_fd, static_cast<off_t>(length));
    while (rc != 0 && errno == EINTR);
    if (rc != 0)
        FailErrno({"cannot set the length", "impossibile impostare la lunghezza"});
    if (m_buffered)
        m_length = length;
}

void CFile::Flush() {
    WritePending();
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        FailErrno({"cannot flush to disk", "impossibile scrivere sul disco"});
}

void CFile::Close() {
    if (m_fd < 0)
        return;
    WritePending();
    int fd = m_fd;
    m_fd = -1;
    ResetBuffer();
    if (::close(fd) != 0 && errno != EINTR)
        FailErrno({"error while closing", "errore durante la chiusura"});
}

void CFile::Abort() noexcept {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    ResetBuffer();
}

void CFile::Fail(CFileException::Cause cause, const CMessage& detail) const {
    throw CFileException(cause, m_path, detail);
}

void CFile::FailOpen() const {
    // English only: the application's headline for the cause (not found,
    // access denied) says all the rest would.
    int err = errno;
    throw CFileException(CFileException::CauseFromErrno(err), m_path,
                         std::string("cannot open: ") + std::strerror(err));
}

void CFile::FailErrno(const CMessage& what) const {
    int err = errno;
    throw CFileException(CFileException::CauseFromErrno(err), m_path,
                         what + Verbatim(": ") + ErrnoText(err));
}
