#include "CFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

CFile::CFile(const std::string& path, unsigned flags) {
    Open(path, flags);
}

CFile::~CFile() {
    Abort();
}

void CFile::Open(const std::string& path, unsigned flags) {
    Abort();
    m_path = path;
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
        FailErrno("cannot open");
    struct stat st {};
    if (::fstat(m_fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        Abort();
        Fail(CFileException::accessDenied, "cannot open: is a directory");
    }
}

std::size_t CFile::Read(void* buffer, std::size_t count) {
    auto* out = static_cast<char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::read(m_fd, out + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FailErrno("read error");
        }
        if (n == 0)
            break;
        done += static_cast<std::size_t>(n);
    }
    return done;
}

void CFile::Write(const void* buffer, std::size_t count) {
    const auto* in = static_cast<const char*>(buffer);
    std::size_t done = 0;
    while (done < count) {
        ssize_t n = ::write(m_fd, in + done, count - done);
        if (n < 0) {
            if (errno == EINTR)
                continue;
            FailErrno("write error");
        }
        done += static_cast<std::size_t>(n);
    }
}

std::uint64_t CFile::Seek(std::int64_t offset, SeekPosition from) {
    int whence = from == begin ? SEEK_SET : from == current ? SEEK_CUR : SEEK_END;
    off_t pos = ::lseek(m_fd, static_cast<off_t>(offset), whence);
    if (pos < 0)
        FailErrno("seek error");
    return static_cast<std::uint64_t>(pos);
}

std::uint64_t CFile::GetPosition() const {
    off_t pos = ::lseek(m_fd, 0, SEEK_CUR);
    if (pos < 0)
        FailErrno("cannot tell the position");
    return static_cast<std::uint64_t>(pos);
}

std::uint64_t CFile::GetLength() const {
    struct stat st {};
    if (::fstat(m_fd, &st) != 0)
        FailErrno("cannot tell the length");
    return static_cast<std::uint64_t>(st.st_size);
}

void CFile::SetLength(std::uint64_t length) {
    int rc;
    do
        rc = ::ftruncate(m_fd, static_cast<off_t>(length));
    while (rc != 0 && errno == EINTR);
    if (rc != 0)
        FailErrno("cannot set the length");
}

void CFile::Flush() {
    if (::fsync(m_fd) != 0 && errno != EINVAL && errno != EROFS)
        FailErrno("cannot flush to disk");
}

void CFile::Close() {
    if (m_fd < 0)
        return;
    int fd = m_fd;
    m_fd = -1;
    if (::close(fd) != 0 && errno != EINTR)
        FailErrno("error while closing");
}

void CFile::Abort() noexcept {
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
}

void CFile::Fail(CFileException::Cause cause, const std::string& detail) const {
    throw CFileException(cause, m_path, detail);
}

void CFile::FailErrno(const char* what) const {
    int err = errno;
    throw CFileException(CFileException::CauseFromErrno(err), m_path,
                         std::string(what) + ": " + std::strerror(err));
}
