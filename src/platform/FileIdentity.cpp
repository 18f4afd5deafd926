#include "FileIdentity.h"

#include <sys/stat.h>

CFileIdentity CFileIdentity::Of(const std::string& path) {
    CFileIdentity id;
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0)
        return id;
    id.exists = true;
    id.device = static_cast<std::uint64_t>(st.st_dev);
    id.inode = static_cast<std::uint64_t>(st.st_ino);
    id.size = static_cast<std::int64_t>(st.st_size);
    id.modifiedSeconds = static_cast<std::int64_t>(st.st_mtim.tv_sec);
    id.modifiedNanoseconds = static_cast<std::int64_t>(st.st_mtim.tv_nsec);
    return id;
}
