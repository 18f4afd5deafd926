// Names of the kinds of file that are not regular files, for the messages
// that refuse them.
#pragma once

#include "Message.h"

#include <sys/stat.h>

// "a directory", "a FIFO (named pipe)"...; null for a regular file.
inline const char* NonRegularFileKind(mode_t mode) {
    if (S_ISREG(mode))
        return nullptr;
    if (S_ISDIR(mode))
        return "a directory";
    if (S_ISFIFO(mode))
        return "a FIFO (named pipe)";
    if (S_ISCHR(mode))
        return "a character device";
    if (S_ISBLK(mode))
        return "a block device";
    if (S_ISSOCK(mode))
        return "a socket";
    return "a file of an unknown kind";
}

// The same in both tongues; empty for a regular file.
inline CMessage NonRegularFileKindText(mode_t mode) {
    const char* english = NonRegularFileKind(mode);
    if (english == nullptr)
        return {};
    const char* italian = S_ISDIR(mode)    ? "una cartella"
                          : S_ISFIFO(mode) ? "una FIFO (pipe con nome)"
                          : S_ISCHR(mode)  ? "un dispositivo a caratteri"
                          : S_ISBLK(mode)  ? "un dispositivo a blocchi"
                          : S_ISSOCK(mode) ? "un socket"
                                           : "un file di tipo sconosciuto";
    return {english, italian};
}
