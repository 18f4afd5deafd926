// A plain binary file: the small set of operations the ship file and the
// DXF reader and writer need. Every failure raises CFileException with the
// cause and the file name.
#pragma once

#include "CFileException.h"

#include <cstdint>
#include <string>

class CFile {
public:
    enum OpenFlags : unsigned {
        modeRead = 0x1,
        modeWrite = 0x2,
        modeReadWrite = 0x3,
        modeCreate = 0x10, // create, or truncate an existing file
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

    [[noreturn]] void Fail(CFileException::Cause cause, const std::string& detail) const;

private:
    [[noreturn]] void FailErrno(const char* what) const;

    int m_fd = -1;
    std::string m_path;
};
