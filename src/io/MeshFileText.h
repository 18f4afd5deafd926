// What the readers of the text mesh formats (ASCII STL, OBJ) and the
// detection of a file's kind share: lines, blank-separated tokens, numbers,
// messages that quote the file, and vertices shared by their coordinates.
#pragma once

#include "geometry/CVector3.h"
#include "platform/Message.h"

#include <climits>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>
#include <vector>

namespace meshtext {

// The most vertices or faces a mesh can count.
inline constexpr std::size_t kMaxCount = INT_MAX;

// CFileException::damaged for the file at path.
[[noreturn]] void Damaged(const std::string& path, const CMessage& detail);
// "line N: ", the start of a message about line N.
CMessage AtLine(std::size_t line);
// A token as it stands in the file, for messages: in quotes, cut short and
// without control characters.
std::string Quoted(std::string_view token);

// Whether token is word, which is lower case, in any case.
bool EqualsNoCase(std::string_view token, std::string_view word);
bool ContainsNoCase(std::string_view text, std::string_view word);
char Lower(char c);

// Inline, as the readers call them for every token of a file.
inline bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Takes the next blank-separated token off the front of line; false when
// only blanks remain.
inline bool NextToken(std::string_view& line, std::string_view& token) {
    std::size_t i = 0;
    while (i < line.size() && IsBlank(line[i]))
        ++i;
    if (i == line.size()) {
        line = {};
        return false;
    }
    std::size_t j = i;
    while (j < line.size() && !IsBlank(line[j]))
        ++j;
    token = line.substr(i, j - i);
    line.remove_prefix(j);
    return true;
}

// The lines of a text, numbered from 1, "\n" or "\r\n" ended.
class CLines {
public:
    explicit CLines(std::string_view text) : m_text(text) {}
    bool Next(std::string_view& line) {
        if (m_pos >= m_text.size())
            return false;
        const char* start = m_text.data() + m_pos;
        const auto* nl = static_cast<const char*>(std::memchr(start, '\n', m_text.size() - m_pos));
        const std::size_t length =
            nl != nullptr ? static_cast<std::size_t>(nl - start) : m_text.size() - m_pos;
        line = std::string_view(start, length);
        m_pos += length + 1;
        ++m_line;
        return true;
    }
    std::size_t Number() const { return m_line; }

private:
    std::string_view m_text;
    std::size_t m_pos = 0;
    std::size_t m_line = 0;
};

// The token as one number (ReadNumberText): a magnitude too small for a
// double reads as the nearest one (0, or a subnormal, with its sign); nan
// and inf are numbers here and the caller decides on them. Empty when value
// holds it; otherwise why the token is not taken.
CMessage ReadNumber(std::string_view token, double& value);
// The token as one integer (ReadIntegerText); false beyond the range of a
// long long.
bool ParseInteger(std::string_view token, long long& value);

// Distinct points, numbered from 1 in the order first seen, found again by
// the bit patterns of their coordinates in an open-addressing table of
// indices. -0 is stored as 0, so equal coordinates have equal bits.
class CVertexPool {
public:
    // Empties the pool, with room for about expected points before it grows.
    void Reset(std::size_t expected);
    // The 1-based number of the point (x, y, z), added when new; 0 when the
    // pool already holds the most points a mesh can count.
    std::int32_t Add(double x, double y, double z) { return Add(Key(x, y, z)); }

    // The same in steps, for readers that look some points ahead: the point
    // as the pool keys it, then hints to the memory that change nothing
    // (the slot of the table, and once it is there the point it holds),
    // then Add.
    struct CKey {
        CVector3 point;
        std::size_t hash;
    };
    static CKey Key(double x, double y, double z);
    void PrefetchSlot(const CKey& key) const;
    void PrefetchPoint(const CKey& key) const;
    std::int32_t Add(const CKey& key);
    // The points, taken out of the pool, which is then to be Reset.
    std::vector<CVector3> TakePoints() { return std::move(m_points); }

private:
    void Grow();

    std::vector<CVector3> m_points;
    std::vector<std::int32_t> m_slots;
};

// The whole file; CFileException when it cannot be opened or read.
std::string ReadWholeFile(const std::string& path);

} // namespace meshtext
