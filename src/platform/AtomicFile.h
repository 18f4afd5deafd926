// Saving a file so that it is either whole or not there, the way a careful
// editor saves.
//
// The path may be a symbolic link: the chain of links is followed and the
// file it ends at is replaced in its own folder, the links staying as they
// are (a dangling link gets the file it names). What stands at the end must
// be a regular file or nothing: a directory, FIFO, device or socket is
// refused (notRegularFile), and so is a file without write permission
// (accessDenied, "... is read-only"; for root, one without any write bit),
// before anything is written.
//
// The bytes go to a temporary file in the target's folder: an unnamed one
// (O_TMPFILE) where the file system offers it, which only gets a name
// (".NAME.brelund-tmp-XXXXXX") for the instant before it is renamed over the
// target; otherwise a file of that name from the start. Such names left by a
// save that was killed are removed by the next save of the same target. The
// temporary is flushed to the disk, given the target's mode, owner and group
// (the owner and group where the process may set them), renamed over the
// target, and the folder is flushed.
//
// A target with other hard links is written in place instead, so that every
// name keeps seeing the new content: the new bytes are first written and
// flushed to the temporary, the old ones copied to a backup
// ".NAME.brelund-bak-XXXXXX", then the new bytes are copied over the target,
// which is cut to their length and flushed, and the backup is removed. If
// that copy fails, the old bytes are put back from the backup; a save killed
// during the copy leaves the backup (never removed by a later save), from
// which the old file can be restored.
#pragma once

#include "CFile.h"

#include <functional>
#include <string>
#include <vector>

struct AtomicWriteOptions {
    // How messages name the file: "ship file" gives "ship file is read-only".
    const char* kind = "file";
    // Off, the temporary is a named file from the start even where an
    // unnamed one is possible (the path file systems without O_TMPFILE take).
    bool unnamedTemporary = true;
};

// Creates a temporary file beside the target, calls fill with a path that
// opens it for writing, then puts it in place as described above. Any
// exception from fill or from the file layer removes the temporary and
// propagates, naming path; the target is then untouched.
void ReplaceFileAtomically(const std::string& path,
                           const std::function<void(const std::string& tempPath)>& fill,
                           const AtomicWriteOptions& options = {});

// Calls write with a File (CFile or a class derived from it) open for
// writing on the temporary file, then flushes it and puts it in place.
template <class File = CFile, class Write>
void WriteFileAtomically(const std::string& path, Write&& write,
                         const AtomicWriteOptions& options = {}) {
    ReplaceFileAtomically(
        path,
        [&](const std::string& tempPath) {
            File file;
            file.Open(tempPath, CFile::modeWrite | CFile::modeWriteBuffered);
            write(file);
            file.Flush();
            file.Close();
        },
        options);
}

// An input of a command, named in messages by its role ("ship", "drawing").
struct NamedInput {
    std::string role;
    std::string path;
};

// Refuses (CFileException, accessDenied) an output that is the same file as
// one of the inputs, through symbolic or hard links alike: "OUT: it is the
// same file as the ship SHIP; refusing to overwrite it". An output that does
// not exist yet, or an input that cannot be found, passes.
void RefuseSameFile(const std::string& output, const std::vector<NamedInput>& inputs);
