#include "CFileException.h"

#include <cerrno>

CFileException::CFileException(Cause cause, std::string fileName, const std::string& detail)
    : std::runtime_error((fileName.empty() ? std::string("\"\"") : fileName) + ": " + detail),
      m_cause(cause), m_file_name(std::move(fileName)), m_detail(detail) {}

CFileException::CFileException(Cause cause, std::string fileName, const CMessage& detail)
    : CFileException(cause, std::move(fileName), detail.english) {
    m_detail_italian = detail.italian;
}

CFileException::Cause CFileException::CauseFromErrno(int err) {
    switch (err) {
    case ENOENT:
    case ENOTDIR:
        return fileNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
        return accessDenied;
    case ENOSPC:
    case EDQUOT:
        return diskFull;
    default:
        return generic;
    }
}
