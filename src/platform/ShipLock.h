// The lock a command takes on a ship file: exclusive for the whole of a
// read, change and write, so that two commands changing one ship at once
// never lose an edit; shared for a read, so that nobody reads a ship while it
// is written in place. The lock is an advisory lock (flock) on the ship file
// itself, so every route to the file, through symbolic or hard links, meets
// the same lock, and no lock file is needed that another user might own.
// Since a save replaces the file with a new one, a lock taken on a file that
// was replaced while it waited is taken again on the new one. A ship that
// does not exist yet is locked through its folder until it is created.
//
// Taking the lock also finishes what an interrupted save left: a ship whose
// in-place save was killed gets its previous version back from the backup
// (AtomicFile.h), and Notes() says so.
#pragma once

#include "Message.h"

#include <cstdint>
#include <string>
#include <vector>

class CShipLock {
public:
    enum Mode { shared, exclusive };

    // Waits up to BRELUND_LOCK_WAIT seconds (default 5) for another writer
    // (or, for exclusive, the readers); then CFileException (sharingViolation)
    // saying the ship is being changed by another process. A path that leads
    // nowhere is refused with its reason (an empty path, a loop of links), but
    // for a file that does not exist, which a reader does not lock and a
    // writer locks through its folder. A ship this process has locked already
    // counts as locked (a read under a writer's lock).
    explicit CShipLock(const std::string& shipPath, Mode mode = exclusive);
    ~CShipLock();
    CShipLock(const CShipLock&) = delete;
    CShipLock& operator=(const CShipLock&) = delete;

    // What taking the lock repaired, one line each, for the user.
    const std::vector<CMessage>& Notes() const { return m_notes; }

private:
    void Release();

    int m_fd = -1;
    std::uint64_t m_device = 0, m_inode = 0;
    std::vector<CMessage> m_notes;
};
