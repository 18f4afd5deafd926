#include "AtomicFile.h"

#include "CFile.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

std::string FolderOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string BaseOf(const std::string& path) {
    const auto slash = path.find_last_of('/');
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Mode for the new file: the old file's, or what a plain create would give.
mode_t TargetMode(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) == 0)
        return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

void ReplaceFileAtomically(const std::string& path,
                           const std::function<void(const std::string& tempPath)>& fill) {
    const std::string folder = FolderOf(path);
    std::string pattern = folder + "/." + BaseOf(path) + ".tmp-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) {
        const int err = errno;
        throw CFileException(CFileException::CauseFromErrno(err), path,
                             std::string("cannot create a file in ") + folder + ": " +
                                 std::strerror(err));
    }
    ::close(fd);
    const std::string temp(name.data());
    try {
        fill(temp);
        ::chmod(temp.c_str(), TargetMode(path));
        if (::rename(temp.c_str(), path.c_str()) != 0) {
            const int err = errno;
            throw CFileException(CFileException::CauseFromErrno(err), path,
                                 std::string("cannot replace the file: ") + std::strerror(err));
        }
    } catch (const CFileException& e) {
        ::unlink(temp.c_str());
        // Report the file the user asked for, not the temporary one.
        throw CFileException(e.m_cause, path, e.m_detail);
    } catch (...) {
        ::unlink(temp.c_str());
        throw;
    }
}
