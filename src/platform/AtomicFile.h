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
// flushed to the temporary, the old ones copied to a backup that only gets
// its name, ".NAME.brelund-bak-ID", once it is whole and on the disk (ID
// names the file itself: device, inode and birth time, so the backup is the
// same whichever link the save went through); then the new bytes are copied
// over the target, which is cut to their length and flushed, and the backup
// is removed. If that copy fails, the old bytes are put back from the backup.
// A save killed during the copy leaves the backup: the ship's lock puts it
// back before anyone reads or writes the ship again
// (RestoreInterruptedSave), and a later save of the same file replaces it.
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

// Where the chain of symbolic links from path ends: the first name that is
// not a link, whether it exists or not. CFileException after 40 links.
std::string FollowSymbolicLinks(const std::string& path);

// The backup an in-place save of the file open as fd keeps while it writes,
// beside the file path leads to.
std::string InPlaceBackupPath(const std::string& path, int fd);

// Whether a save of the file open as fd through a name in the folder of path's
// target was cut short in the middle of writing it in place: its backup is
// still there. Looks for the backup under any name of the file.
bool HasInterruptedSave(const std::string& path, int fd);

// Puts the old bytes of an interrupted in-place save back into the file open
// as fd (read and write; its inode and links are kept), flushes them and
// removes the backup. Returns what it did, for the user, or "" when there was
// nothing to do. CFileException when the file cannot be written: the backup
// then stays, and the message names it.
CMessage RestoreInterruptedSave(const std::string& path, int fd);
