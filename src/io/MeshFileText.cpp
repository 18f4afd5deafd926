#include "MeshFileText.h"

#include "platform/CFile.h"
#include "platform/CFileException.h"
#include "platform/NumberText.h"
#include "platform/Prefetch.h"

#include <bit>
#include <cfloat>

namespace meshtext {

namespace {

std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

std::uint64_t Bits(double v) {
    return std::bit_cast<std::uint64_t>(v);
}

std::size_t Hash(const CVector3& p) {
    return static_cast<std::size_t>(Mix(Mix(Mix(Bits(p.X())) ^ Bits(p.Y())) ^ Bits(p.Z())));
}

bool SameBits(const CVector3& a, const CVector3& b) {
    return Bits(a.X()) == Bits(b.X()) && Bits(a.Y()) == Bits(b.Y()) && Bits(a.Z()) == Bits(b.Z());
}

} // namespace

void Damaged(const std::string& path, const CMessage& detail) {
    throw CFileException(CFileException::damaged, path, detail);
}

CMessage AtLine(std::size_t line) {
    return BRELUND_SAY("line %zu: ", "riga %zu: ", line);
}

std::string Quoted(std::string_view token) {
    std::string out = "'";
    for (std::size_t i = 0; i < token.size() && i < 40; ++i) {
        const auto c = static_cast<unsigned char>(token[i]);
        out += (c < 0x20 || c == 0x7F) ? '?' : static_cast<char>(c);
    }
    if (token.size() > 40)
        out += "...";
    return out + "'";
}

char Lower(char c) {
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

bool EqualsNoCase(std::string_view token, std::string_view word) {
    if (token.size() != word.size())
        return false;
    for (std::size_t i = 0; i < word.size(); ++i)
        if (Lower(token[i]) != word[i])
            return false;
    return true;
}

bool ContainsNoCase(std::string_view text, std::string_view word) {
    if (text.size() < word.size())
        return false;
    for (std::size_t i = 0; i + word.size() <= text.size(); ++i)
        if (Lower(text[i]) == word[0] && EqualsNoCase(text.substr(i, word.size()), word))
            return true;
    return false;
}

CMessage ReadNumber(std::string_view token, double& value) {
    switch (ReadNumberText(token, value)) {
    case CNumberText::number:
    case CNumberText::notFinite:
        return {};
    case CNumberText::outOfRange:
        return Verbatim(Quoted(token)) + BRELUND_SAY(" is out of range (beyond %g)",
                                                     " è fuori dall'intervallo (oltre %g)",
                                                     DBL_MAX);
    case CNumberText::notNumber:
        break;
    }
    return Verbatim(Quoted(token)) + CMessage(" is not a number", " non è un numero");
}

bool ParseInteger(std::string_view token, long long& value) {
    return ReadIntegerText(token, value) == CNumberText::number;
}

void CVertexPool::Reset(std::size_t expected) {
    m_points.clear();
    m_points.reserve(expected);
    std::size_t capacity = 64;
    while (capacity < 2 * expected)
        capacity *= 2;
    m_slots.assign(capacity, 0);
}

CVertexPool::CKey CVertexPool::Key(double x, double y, double z) {
    const CVector3 p(x == 0 ? 0.0 : x, y == 0 ? 0.0 : y, z == 0 ? 0.0 : z);
    return {p, Hash(p)};
}

void CVertexPool::PrefetchSlot(const CKey& key) const {
    PrefetchLine(&m_slots[key.hash & (m_slots.size() - 1)]);
}

void CVertexPool::PrefetchPoint(const CKey& key) const {
    const std::int32_t k = m_slots[key.hash & (m_slots.size() - 1)];
    if (k > 0 && static_cast<std::size_t>(k) <= m_points.size())
        PrefetchLine(&m_points[static_cast<std::size_t>(k - 1)]);
}

std::int32_t CVertexPool::Add(const CKey& key) {
    const CVector3& p = key.point;
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t i = key.hash & mask;; i = (i + 1) & mask) {
        const std::int32_t k = m_slots[i];
        if (k == 0) {
            if (m_points.size() >= kMaxCount)
                return 0;
            m_points.push_back(p);
            const auto index = static_cast<std::int32_t>(m_points.size());
            m_slots[i] = index;
            if (2 * m_points.size() > m_slots.size())
                Grow();
            return index;
        }
        if (SameBits(m_points[static_cast<std::size_t>(k - 1)], p))
            return k;
    }
}

void CVertexPool::Grow() {
    m_slots.assign(2 * m_slots.size(), 0);
    const std::size_t mask = m_slots.size() - 1;
    for (std::size_t k = 0; k < m_points.size(); ++k) {
        std::size_t i = Hash(m_points[k]) & mask;
        while (m_slots[i] != 0)
            i = (i + 1) & mask;
        m_slots[i] = static_cast<std::int32_t>(k + 1);
    }
}

std::string ReadWholeFile(const std::string& path) {
    CFile file(path, CFile::modeRead);
    std::string bytes(file.GetLength(), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

} // namespace meshtext
