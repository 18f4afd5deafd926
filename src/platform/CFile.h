// A plain binary file: the small set of operations the ship file and the
// DXF reader and writer need. Every failure raises CFileException with the
// cause and the file name.
//
// A file opened for reading only must be a regular file: a directory, a
// FIFO, a device or a socket is refused at once (notRegularFile), without
// waiting for a writer or reading a device; so is a file of size 0 that
// gives bytes when read (the kernel's files under /proc and /sys), which
// cannot be read as a whole. A file opened for reading is read through a
// buffer of its own, so that many small reads cost few system calls, and its
// length is the one it had when opened: it is not expected to change while it
// is read.
//
// A file opened with modeWrite | modeWriteBuffered gathers its writes too
// (WriteFileAtomically opens its temporary so).
#pragma once

#include "CFileException.h"

#include <cstdint>
#include <memory>
#include <string>

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x1,
        modeWrite = 0x2,
        modeReadWrite = 0x3,
        modeCreate = 0x10, // create, or truncate an existing file
        // With modeWrite alone: writes are gathered in a buffer and reach the
        // file at the latest at Flush or Close; Abort and the destructor drop
        // what was not yet written. For writers that always end with Close.
        modeWriteBuffered = 0x20,
    };
    enum SeekPosition { begin, current, end };

    CFile() = default;
    CFile(const std::string& path, unsigned flags);
    ~CFile();
    CFile(const CFile&) = delete;
    CFile& operator=(const CFile&) = delete;

    void Open(const std::string& path, unsigned flags);
    bool IsOpen() const { return m_fd >= 0; }

    // Reads up to count bytes; returns how many were read (fewer only at the end of the file).
    std::size_t Read(void* buffer, std::size_t count);
    // Writes all count bytes or raises.
    void Write(const void* buffer, std::size_t count);
    std::uint64_t Seek(std::int64_t offset, SeekPosition from);
    void SeekToBegin() { Seek(0, begin); }
    std::uint64_t GetPosition() const;
    std::uint64_t GetLength() const;
    // Cuts or extends the file to length bytes; the position is left where it was.
    void SetLength(std::uint64_t length);
    // Pushes written bytes to the disk.
    void Flush();
    void Close();
    // Closes without raising; for clean-up paths.
    void Abort() noexcept;

    const std::string& GetFilePath() const { return m_path; }

    [[noreturn]] void Fail(CFileException::Cause cause, const CMessage& detail) const;

private:
    [[noreturn]] void FailErrno(const CMessage& what) const;
    [[noreturn]] void FailOpen() const;
    // Opens for reading only: refuses what is not a regular file.
    void OpenForReading();
    std::size_t ReadBufferSize() const;
    // One read() into the read buffer; false at the end of the file.
    bool FillBuffer();
    // Reads straight into out until count bytes or the end of the file.
    std::size_t ReadDirect(char* out, std::size_t count);
    // Forgets the bytes read ahead, putting the descriptor back at the
    // logical position.
    void DropBuffer();
    // Writes out what the write buffer holds.
    void WritePending();
    void WriteDirect(const char* in, std::size_t count);
    void ResetBuffer() noexcept;

    int m_fd = -1;
    std::string m_path;

    // Read buffer of a file open for reading only (m_buffered): the bytes
    // [m_buffer_pos, m_buffer_end) of m_buffer follow the logical position
    // m_position; the descriptor stands at the end of them. m_length is the
    // length at opening.
    //
    // Write buffer of a file open with modeWriteBuffered (m_write_buffered):
    // the bytes [0, m_buffer_end) of m_buffer go to the descriptor's position.
    static constexpr std::size_t kBufferSize = std::size_t{64} << 10;
    static constexpr std::size_t kMinBufferSize = 256;
    bool m_buffered = false;
    bool m_write_buffered = false;
    std::unique_ptr<char[]> m_buffer;
    std::size_t m_buffer_size = 0;
    std::size_t m_buffer_pos = 0;
    std::size_t m_buffer_end = 0;
    std::uint64_t m_position = 0;
    std::uint64_t m_length = 0;
};
