#include "ShipFileIO.h"

#include "platform/NumberText.h"

#include <bit>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "the ship file is little-endian and is read as in memory");

namespace shipfile {

void Damaged(const CFile& file, std::uint64_t offset, const CMessage& what) {
    file.Fail(CFileException::damaged, BRELUND_SAY("damaged ship file at byte %llu: ",
                                                   "file nave danneggiato al byte %llu: ",
                                                   static_cast<unsigned long long>(offset)) +
                                           what);
}

void Require(CFile& file, std::uint64_t count, CFieldName what) {
    const std::uint64_t pos = file.GetPosition();
    const std::uint64_t length = file.GetLength();
    const std::uint64_t remaining = length > pos ? length - pos : 0;
    if (count > remaining)
        Damaged(file, pos,
                CMessage(FormatC("%s needs %llu bytes but %llu remain", what.english,
                                 static_cast<unsigned long long>(count),
                                 static_cast<unsigned long long>(remaining)),
                         FormatC("per %s servono %llu byte, ma ne restano %llu", what.italian,
                                 static_cast<unsigned long long>(count),
                                 static_cast<unsigned long long>(remaining))));
}

void ReadExact(CFile& file, void* buffer, std::size_t count, CFieldName what) {
    const std::uint64_t pos = file.GetPosition();
    if (file.Read(buffer, count) != count)
        Damaged(file, pos,
                {std::string("the file ends before ") + what.english,
                 std::string("il file finisce prima del campo: ") + what.italian});
}

std::int32_t ReadI32(CFile& file, CFieldName what) {
    std::int32_t v;
    ReadExact(file, &v, sizeof v, what);
    return v;
}

std::uint32_t ReadU32(CFile& file, CFieldName what) {
    std::uint32_t v;
    ReadExact(file, &v, sizeof v, what);
    return v;
}

double ReadF64(CFile& file, CFieldName what) {
    double v;
    ReadExact(file, &v, sizeof v, what);
    return v;
}

bool ReadFlag(CFile& file, CFieldName what) {
    unsigned char v;
    ReadExact(file, &v, sizeof v, what);
    return v != 0;
}

void WriteI32(CFile& file, std::int32_t v) {
    file.Write(&v, sizeof v);
}
void WriteU32(CFile& file, std::uint32_t v) {
    file.Write(&v, sizeof v);
}
void WriteF64(CFile& file, double v) {
    file.Write(&v, sizeof v);
}
void WriteFlag(CFile& file, bool v) {
    const unsigned char b = v ? 1 : 0;
    file.Write(&b, 1);
}

} // namespace shipfile
