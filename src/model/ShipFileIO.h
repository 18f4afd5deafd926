// Field readers and writers of the ship file. A reader that finds the file
// too short for what it needs raises CFileException::damaged, naming the
// file and the byte offset, before it allocates anything.
#pragma once

#include "platform/CFile.h"

#include <cstdint>

namespace shipfile {

// What a field is, for the messages, in English and in Italian.
struct CFieldName {
    const char* english;
    const char* italian;
};

[[noreturn]] void Damaged(const CFile& file, std::uint64_t offset, const CMessage& what);

// Raises when fewer than count bytes remain after the current position.
void Require(CFile& file, std::uint64_t count, CFieldName what);
void ReadExact(CFile& file, void* buffer, std::size_t count, CFieldName what);

std::int32_t ReadI32(CFile& file, CFieldName what);
std::uint32_t ReadU32(CFile& file, CFieldName what);
double ReadF64(CFile& file, CFieldName what);
bool ReadFlag(CFile& file, CFieldName what);

void WriteI32(CFile& file, std::int32_t v);
void WriteU32(CFile& file, std::uint32_t v);
void WriteF64(CFile& file, double v);
void WriteFlag(CFile& file, bool v);

} // namespace shipfile
