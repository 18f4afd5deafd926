// Failure of a file operation: what went wrong, on which file, and where.
// The document layer turns it into a message box, brelund-calc into exit 1.
#pragma once

#include "Message.h"

#include <stdexcept>
#include <string>

class CFileException : public std::runtime_error {
public:
    enum Cause {
        generic,
        fileNotFound,
        accessDenied,
        diskFull,
        endOfFile,
        damaged,          // the bytes do not form a valid file of the expected kind
        notRegularFile,   // a directory, FIFO, device or socket where a file belongs
        sharingViolation, // another process holds the file's lock
    };

    // what() is "FILE: DETAIL", an empty name shown as "", DETAIL in English.
    CFileException(Cause cause, std::string fileName, const CMessage& detail);
    // A detail in English only: the application words it by the cause alone.
    CFileException(Cause cause, std::string fileName, const std::string& detail);

    Cause m_cause;
    std::string m_file_name;
    std::string m_detail;         // English
    std::string m_detail_italian; // empty when the detail has no Italian words

    // Maps an errno value to the nearest cause.
    static Cause CauseFromErrno(int err);
};
