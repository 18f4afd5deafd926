// What a file was when it was last read or written, so that a later save can
// tell whether another program has changed it since: the file's device and
// inode (the same file through any link) with its size and modification time.
#pragma once

#include <cstdint>
#include <string>

struct CFileIdentity {
    bool exists = false;
    std::uint64_t device = 0;
    std::uint64_t inode = 0;
    std::int64_t size = 0;
    std::int64_t modifiedSeconds = 0;
    std::int64_t modifiedNanoseconds = 0;

    // The identity of the file the path leads to (links followed); exists is
    // false when there is none.
    static CFileIdentity Of(const std::string& path);

    friend bool operator==(const CFileIdentity&, const CFileIdentity&) = default;
};
