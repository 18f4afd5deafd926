// The lock a command takes on a ship file for the whole of its read, change
// and write, so that two commands changing one ship at once never lose an
// edit: an exclusive advisory lock (flock) on a lock file beside the ship
// (the ship itself is replaced on every save). Routes to the same ship
// through symbolic links share the lock.
#pragma once

#include <string>

class CShipLock {
public:
    // Waits up to BRELUND_LOCK_WAIT seconds (default 5) for another writer;
    // then CFileException (sharingViolation) saying the ship is being changed by another process.
    explicit CShipLock(const std::string& shipPath);
    ~CShipLock();
    CShipLock(const CShipLock&) = delete;
    CShipLock& operator=(const CShipLock&) = delete;

    // The lock file of a ship: ".NAME.lock" beside the file the path leads to.
    static std::string LockPath(const std::string& shipPath);

private:
    int m_fd = -1;
};
