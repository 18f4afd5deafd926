#include "CDxfFile.h"

#include "platform/CFileException.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <bit>
#include <charconv>
#include <cmath>
#include <cstring>
#include <limits>

namespace {

constexpr std::string_view kEntities = "ENTITIES";
constexpr std::string_view kPolyline = "POLYLINE";
constexpr std::string_view kVertex = "VERTEX";
constexpr std::string_view kSeqend = "SEQEND";
constexpr std::string_view kEndsec = "ENDSEC";
constexpr std::string_view k3dFace = "3DFACE";
constexpr std::size_t npos = std::string_view::npos;

// FindEntities leaves the file this many bytes before the section name.
constexpr std::uint64_t kEntitiesLead = 7;

// The keyword of the record at a VERTEX position sits at offset 0 or 1
// (after the LF left by the previous record); the next keyword is looked
// for from here on, past the current one.
constexpr std::uint64_t kNextKeywordFrom = 6;
// A keyword that starts this near a VERTEX position (after the LF left by
// the previous record) ends the sequence instead of opening a record.
constexpr std::uint64_t kSequenceEndNear = 5;

// Keyword searches go through the text this much at a time.
constexpr std::uint64_t kScanStep = 64 * 1024;
// Most blanks taken around an entity keyword on its line, and most
// characters of the group-code line 0 before it.
constexpr std::size_t kBlankRun = 32;
constexpr std::size_t kCodeLineLength = 2 * kBlankRun + 3;
// Bytes an entity keyword check looks at before and after the keyword's
// first letter: the code line, its LF and the blanks; the longest keyword,
// the blanks and a CR LF.
constexpr std::uint64_t kKeywordLookBack = kCodeLineLength + 2 + kBlankRun;
constexpr std::uint64_t kKeywordLookahead = 8 + kBlankRun + 2;

const char* const kEol = "\r\n";
CMessage EndsInside() {
    return {"the drawing ends inside the entity", "il disegno finisce dentro l'entità"};
}

// The keywords FindKeyword looks for. The VERTEX, SEQEND and POLYLINE
// keywords are found anywhere, even inside a longer word, as they always
// were; the line forms only as whole lines.
enum KeywordSet : unsigned {
    kwVertex = 1,
    kwSeqend = 2,
    kwPolyline = 4,
    kwPolylineLine = 8,
    kwEndsecLine = 16,
};

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r';
}

std::string_view TrimBlanks(std::string_view text) {
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// How many places from i on cannot start a keyword, at most 8: every
// keyword has an 'E', an 'O' or an 'N' for its second letter, and the
// first of those among the 8 bytes after i tells where the next one may
// start. text holds at least i + 9 bytes.
std::size_t PlacesWithoutKeyword(std::string_view text, std::size_t i) {
    if constexpr (std::endian::native != std::endian::little)
        return 0;
    std::uint64_t word;
    std::memcpy(&word, text.data() + i + 1, sizeof word);
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    // The lowest byte flagged is exactly the first that matches.
    const auto zeroByte = [&](std::uint64_t x) { return (x - ones) & ~x & highs; };
    const std::uint64_t found = zeroByte(word ^ (ones * 'E')) | zeroByte(word ^ (ones * 'O')) |
                                zeroByte(word ^ (ones * 'N'));
    return found == 0 ? 8 : static_cast<std::size_t>(std::countr_zero(found)) / 8;
}

// The first LF at or after i, or the end of text: eight bytes at a time, as
// the lines of a drawing are short and many.
std::size_t LineFeedFrom(std::string_view text, std::size_t i) {
    constexpr std::uint64_t ones = 0x0101010101010101ull, highs = 0x8080808080808080ull;
    for (; std::endian::native == std::endian::little && i + 8 <= text.size(); i += 8) {
        std::uint64_t word;
        std::memcpy(&word, text.data() + i, sizeof word);
        const std::uint64_t x = word ^ (ones * '\n');
        // The lowest flagged byte is the first LF (little-endian).
        const std::uint64_t found = (x - ones) & ~x & highs;
        if (found != 0)
            return i + static_cast<std::size_t>(std::countr_zero(found)) / 8;
    }
    while (i < text.size() && text[i] != '\n')
        ++i;
    return i;
}

// The code a group-code line holds: one to four digits, blanks around
// them allowed; -1 for any other line.
int GroupCode(std::string_view line) {
    line = TrimBlanks(line);
    if (line.empty() || line.size() > 4)
        return -1;
    int code = 0;
    for (char c : line) {
        if (c < '0' || c > '9')
            return -1;
        code = code * 10 + (c - '0');
    }
    return code;
}

// The code of a line in the form the common CAD programs write for two-digit
// codes, a blank and the digits (" 70"), CRs before its LF aside; -1 for any
// other line.
int PaddedGroupCode(std::string_view line) {
    // The three characters first, which rule out nearly every value line.
    if (line.size() < 3 || line[0] != ' ' || line[1] < '0' || line[1] > '9' || line[2] < '0' ||
        line[2] > '9')
        return -1;
    for (std::size_t k = 3; k < line.size(); ++k)
        if (line[k] != '\r')
            return -1;
    return (line[1] - '0') * 10 + (line[2] - '0');
}

// The value of a value line: its characters up to a TAB, a CR or its end.
std::string_view ValueToken(std::string_view line) {
    std::size_t end = 0;
    while (end < line.size() && line[end] != '\t' && line[end] != '\r' && line[end] != '\n')
        ++end;
    return line.substr(0, end);
}

// What a value line holds for a group that takes a number.
enum class CValue { number, notNumber, notFinite };

// The token of a real group (coordinates): one number (ReadNumberText),
// blanks around it allowed, and nothing else ("12abc", "1,5", "0x10" and ""
// are no numbers). A value too small for a double is 0, as strtod reads it;
// one too large, or "nan" and "inf", is read whole but is not finite.
CValue RealOf(std::string_view token, double& value) {
    // Most coordinates are a plain decimal ("-12.5"), which from_chars
    // reads as ReadNumberText would; anything else goes the long way.
    std::size_t k = !token.empty() && token[0] == '-' ? 1 : 0;
    const std::size_t digits = k;
    while (k < token.size() && token[k] >= '0' && token[k] <= '9')
        ++k;
    bool plain = k > digits;
    if (plain && k < token.size() && token[k] == '.') {
        const std::size_t fraction = ++k;
        while (k < token.size() && token[k] >= '0' && token[k] <= '9')
            ++k;
        plain = k > fraction;
    }
    if (plain && k == token.size()) {
        double read = 0;
        const char* last = token.data() + token.size();
        const auto [end, error] =
            std::from_chars(token.data(), last, read, std::chars_format::general);
        if (error == std::errc() && end == last) {
            value = read;
            return CValue::number;
        }
    }
    switch (ReadNumberText(token, value)) {
    case CNumberText::number:
        return CValue::number;
    case CNumberText::outOfRange:
    case CNumberText::notFinite:
        return CValue::notFinite;
    case CNumberText::notNumber:
        break;
    }
    return CValue::notNumber;
}

// The token of an integer group (flags, counts, face indices): an optional
// sign and decimal digits, blanks around them allowed (ReadIntegerText). A
// value beyond the int32 range saturates, so that it stays out of any range
// it is checked against.
bool IntegerOf(std::string_view token, std::int32_t& value) {
    // Most values are a few digits after some blanks: read at once.
    std::size_t first = 0;
    while (first < token.size() && token[first] == ' ')
        ++first;
    if (first < token.size() && token.size() - first <= 9) {
        std::int32_t digits = 0;
        std::size_t k = first;
        for (; k < token.size() && token[k] >= '0' && token[k] <= '9'; ++k)
            digits = digits * 10 + (token[k] - '0');
        if (k == token.size()) {
            value = digits;
            return true;
        }
    }
    long long read = 0;
    if (ReadIntegerText(token, read) == CNumberText::notNumber)
        return false;
    value = static_cast<std::int32_t>(std::clamp<long long>(
        read, std::numeric_limits<std::int32_t>::min(), std::numeric_limits<std::int32_t>::max()));
    return true;
}

// Whether text holds keyword at i as the value of a group `code` (0: the
// keyword of an entity or of a section end; 2: a section's name): alone on
// its line, blanks aside, right after the group-code line. text starts at
// the start of the file when startsFile and ends at its end when endsFile.
// Lines longer than kBlankRun and kCodeLineLength allow are never taken, so
// that the answer does not depend on how much text is looked at.
bool EntityKeywordAt(std::string_view text, std::size_t i, std::string_view keyword,
                     bool startsFile, bool endsFile, int code = 0) {
    // The first letter rules out nearly every place it is asked about.
    if (i >= text.size() || text[i] != keyword.front() || text.substr(i, keyword.size()) != keyword)
        return false;
    std::size_t after = i + keyword.size(), blanks = 0;
    for (; after < text.size() && IsBlank(text[after]); ++after)
        if (++blanks > kBlankRun)
            return false;
    if (after == text.size() ? !endsFile : text[after] != '\n')
        return false;
    std::size_t lineStart = i;
    for (blanks = 0; lineStart > 0 && IsBlank(text[lineStart - 1]); --lineStart)
        if (++blanks > kBlankRun)
            return false;
    if (lineStart == 0 || text[lineStart - 1] != '\n')
        return false;
    const std::size_t lineFeed = lineStart - 1;
    const std::size_t previous = lineFeed == 0 ? npos : text.rfind('\n', lineFeed - 1);
    if (previous == npos && !startsFile)
        return false;
    const std::size_t codeStart = previous == npos ? 0 : previous + 1;
    return lineFeed - codeStart <= kCodeLineLength &&
           GroupCode(text.substr(codeStart, lineFeed - codeStart)) == code;
}

// A token for a message: at most 32 characters, anything unprintable as '?'.
std::string Shown(std::string_view token) {
    std::string out(token.substr(0, 32));
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || static_cast<unsigned char>(c) >= 0x7f)
            c = '?';
    return token.size() > 32 ? out + "..." : out;
}

CMessage CoordinateFault(char axis, std::string_view token, CValue value) {
    return value == CValue::notFinite
               ? BRELUND_SAY("%c coordinate \"%s\" is not a finite number",
                             "la coordinata %c \"%s\" non è un numero finito", axis,
                             Shown(token).c_str())
               : BRELUND_SAY("%c coordinate \"%s\" is not a number",
                             "la coordinata %c \"%s\" non è un numero", axis, Shown(token).c_str());
}

CMessage IntegerFault(int code, std::string_view token) {
    return BRELUND_SAY("group %d \"%s\" is not an integer", "il gruppo %d \"%s\" non è un intero",
                       code, Shown(token).c_str());
}

void AppendLine(std::string& out, const std::string& line) {
    out += line;
    out += kEol;
}

void AppendGroup(std::string& out, const char* code, const std::string& value) {
    AppendLine(out, code);
    AppendLine(out, value);
}

std::string LineText(const CVector3& start, const CVector3& end, const int* colour) {
    std::string text;
    AppendGroup(text, "  0", "LINE");
    AppendGroup(text, "  8", "DEFAULT");
    if (colour != nullptr)
        AppendGroup(text, "  62", FormatC("%i", *colour));
    AppendGroup(text, "  10", FormatC("%.8f", start.X()));
    AppendGroup(text, "  20", FormatC("%.8f", start.Y()));
    AppendGroup(text, "  30", FormatC("%.8f", start.Z()));
    AppendGroup(text, "  11", FormatC("%.8f", end.X()));
    AppendGroup(text, "  21", FormatC("%.8f", end.Y()));
    AppendGroup(text, "  31", FormatC("%.8f", end.Z()));
    return text;
}

} // namespace

void CDxfFile::Open(const std::string& path, unsigned flags) {
    DropBytes();
    CFile::Open(path, flags);
}

void CDxfFile::DropBytes() {
    std::string().swap(m_bytes);
    m_bytesStart = 0;
    m_bytesAtEnd = false;
}

std::string_view CDxfFile::Bytes(std::uint64_t from, std::uint64_t to) {
    to = std::max(to, from);
    const std::uint64_t keptEnd = m_bytesStart + m_bytes.size();
    const bool kept = from >= m_bytesStart && (to <= keptEnd || (m_bytesAtEnd && from <= keptEnd));
    if (!kept) {
        const std::uint64_t length = GetLength();
        const std::uint64_t left = length > from ? length - from : 0;
        const std::uint64_t want = std::min(left, std::max<std::uint64_t>(kBlockSize, to - from));
        if (want > std::numeric_limits<std::size_t>::max() / 2)
            Fail(CFileException::generic, CMessage("a record too long to be read",
                                                   "un record troppo lungo per essere letto"));
        const std::uint64_t position = GetPosition();
        if (m_bytes.capacity() > 2 * std::max<std::uint64_t>(want, kBlockSize))
            std::string().swap(m_bytes);
        m_bytes.resize(static_cast<std::size_t>(want));
        Seek(static_cast<std::int64_t>(from), begin);
        m_bytes.resize(Read(m_bytes.data(), m_bytes.size()));
        Seek(static_cast<std::int64_t>(position), begin);
        m_bytesStart = from;
        m_bytesAtEnd = from + m_bytes.size() >= length;
    }
    const std::uint64_t end = std::min(to, m_bytesStart + m_bytes.size());
    if (from >= end)
        return {};
    return std::string_view(m_bytes).substr(static_cast<std::size_t>(from - m_bytesStart),
                                            static_cast<std::size_t>(end - from));
}

std::uint64_t CDxfFile::FindText(std::uint64_t from, std::string_view word) {
    const std::uint64_t span = kScanStep + word.size() - 1;
    for (std::uint64_t p = from;; p += kScanStep) {
        const std::string_view text = Bytes(p, p + span);
        const std::size_t at = text.find(word);
        if (at != npos)
            return p + at;
        // A word that starts in this step lies whole in the text, so the
        // next step starts where this one ends.
        if (text.size() < span)
            return kNone;
    }
}

std::uint64_t CDxfFile::FindKeyword(std::uint64_t from, unsigned set, unsigned& found) {
    found = 0;
    for (std::uint64_t p = from;; p += kScanStep) {
        // Some text before the step, for the lines before a keyword.
        const std::uint64_t lead = std::min(p, kKeywordLookBack);
        const std::string_view text = Bytes(p - lead, p + kScanStep + kKeywordLookahead);
        const bool last = text.size() < lead + kScanStep + kKeywordLookahead;
        const std::size_t limit = last ? text.size() : static_cast<std::size_t>(lead + kScanStep);
        for (std::size_t i = lead; i < limit; ++i) {
            // Places that cannot start a keyword are passed over, eight at
            // a time.
            while (i + 9 <= text.size() && i + 8 <= limit) {
                const std::size_t skip = PlacesWithoutKeyword(text, i);
                i += skip;
                if (skip < 8)
                    break;
            }
            if (i >= limit)
                break;
            const char c = text[i];
            // The first two letters tell the keywords apart, and rule out
            // most other text before any comparison.
            const char c2 = i + 1 < text.size() ? text[i + 1] : '\0';
            if (!(c2 == 'E' && (c == 'V' || c == 'S')) && !(c == 'P' && c2 == 'O') &&
                !(c == 'E' && c2 == 'N'))
                continue;
            const std::string_view rest = text.substr(i);
            const bool startsFile = p - lead == 0;
            unsigned hit = 0;
            if (c == 'V' && (set & kwVertex) && rest.substr(0, kVertex.size()) == kVertex)
                hit = kwVertex;
            else if (c == 'S' && (set & kwSeqend) && rest.substr(0, kSeqend.size()) == kSeqend)
                hit = kwSeqend;
            else if (c == 'P' && (set & kwPolyline) &&
                     rest.substr(0, kPolyline.size()) == kPolyline)
                hit = kwPolyline;
            else if (c == 'P' && (set & kwPolylineLine) &&
                     EntityKeywordAt(text, i, kPolyline, startsFile, last))
                hit = kwPolylineLine;
            else if (c == 'E' && (set & kwEndsecLine) &&
                     EntityKeywordAt(text, i, kEndsec, startsFile, last))
                hit = kwEndsecLine;
            if (hit != 0) {
                found = hit;
                return p - lead + i;
            }
        }
        if (last)
            return kNone;
    }
}

void CDxfFile::ReadGroups(std::uint64_t from, std::uint64_t to,
                          std::array<std::string_view, kRecordCodes.size()>& values) {
    const std::string_view text = Bytes(from, to);
    std::array<std::uint64_t, kRecordCodes.size()> aligned;
    m_groupLines.fill(kNone);
    aligned.fill(kNone);
    // The place of a code in kRecordCodes.
    const auto slot = [](int code) -> int {
        switch (code) {
        case 10:
            return 0;
        case 20:
            return 1;
        case 30:
            return 2;
        case 70:
        case 71:
        case 72:
        case 73:
        case 74:
            return code - 67;
        default:
            return -1;
        }
    };
    static_assert(kRecordCodes[3] == 70 && kRecordCodes[7] == 74);
    // Line 0 holds the keyword, a value; code lines are the odd ones, for
    // as long as each of them holds a code: past a line that does not, the
    // pairs are out of step and no longer tell where a code line belongs.
    std::size_t i = !text.empty() && text[0] == '\n' ? 1 : 0;
    bool inStep = true;
    for (std::size_t line = 0; i < text.size(); ++line) {
        const std::size_t eol = LineFeedFrom(text, i);
        const std::size_t next = eol == text.size() ? eol : eol + 1;
        if (line > 0) {
            const std::string_view content = text.substr(i, eol - i);
            const int paddedCode = PaddedGroupCode(content);
            const int padded = slot(paddedCode);
            if (padded >= 0 && m_groupLines[padded] == kNone)
                m_groupLines[padded] = from + next;
            if (inStep && line % 2 == 1) {
                // A padded code line holds the same code for GroupCode.
                const int code = paddedCode >= 0 ? paddedCode : GroupCode(content);
                inStep = code >= 0;
                const int k = slot(code);
                if (k >= 0 && aligned[k] == kNone)
                    aligned[k] = from + next;
            }
        }
        i = next;
    }
    for (std::size_t k = 0; k < kRecordCodes.size(); ++k) {
        if (m_groupLines[k] == kNone)
            m_groupLines[k] = aligned[k];
        values[k] = m_groupLines[k] == kNone
                        ? std::string_view()
                        : ValueToken(text.substr(static_cast<std::size_t>(m_groupLines[k] - from)));
    }
}

bool CDxfFile::NextLine(std::uint64_t& at, std::string& line) {
    line.clear();
    if (Bytes(at, at + 1).empty())
        return false;
    const std::uint64_t lf = FindText(at, "\n");
    const std::uint64_t end = lf == kNone ? GetLength() : lf;
    std::string_view content = Bytes(at, end);
    while (!content.empty() && content.back() == '\r')
        content.remove_suffix(1);
    line.assign(content);
    at = lf == kNone ? end : lf + 1;
    return true;
}

std::uint64_t CDxfFile::GetRemainingLength() const {
    const std::uint64_t length = GetLength();
    const std::uint64_t position = GetPosition();
    return length > position ? length - position : 0;
}

bool CDxfFile::CanHoldVertexRecords(std::int64_t count) const {
    if (count <= 0)
        return true;
    if (count > std::numeric_limits<std::int32_t>::max())
        return false;
    return static_cast<std::uint64_t>(count) <= GetRemainingLength() / kMinVertexRecordBytes;
}

bool CDxfFile::FindEntities() {
    const std::uint64_t at = FindText(0, kEntities);
    if (at == kNone) {
        Seek(0, end);
        return false;
    }
    Seek(static_cast<std::int64_t>(at >= kEntitiesLead ? at - kEntitiesLead : 0), begin);
    return true;
}

bool CDxfFile::FindNextPolyline() {
    const std::uint64_t at = FindText(GetPosition(), kPolyline);
    if (at == kNone) {
        Seek(0, end);
        return false;
    }
    Seek(static_cast<std::int64_t>(at), begin);
    return true;
}

bool CDxfFile::ReadPolylineHeader(int& flags, int& m, int& n, bool* damaged) {
    flags = m = n = 0;
    if (damaged != nullptr)
        *damaged = false;
    const std::uint64_t start = GetPosition();
    // A POLYLINE without vertex records ends (SEQEND), or is followed by
    // another POLYLINE or by the end of the section, before any VERTEX: the
    // VERTEX found further on belongs to another entity, which the search
    // must still find. The header's own keyword is the first POLYLINE.
    unsigned found = 0;
    std::uint64_t at = FindKeyword(start, kwVertex | kwSeqend | kwPolyline | kwEndsecLine, found);
    if (found == kwPolyline)
        at = FindKeyword(at + 1, kwVertex | kwSeqend | kwPolyline | kwEndsecLine, found);
    if (at == kNone) {
        Seek(0, end);
        return false;
    }
    Seek(static_cast<std::int64_t>(at), begin);
    if (found != kwVertex)
        return false;
    std::array<std::string_view, kRecordCodes.size()> values;
    ReadGroups(start, at, values);
    m_recordStart = start;
    std::int32_t groups[3] = {0, 0, 0};
    for (std::size_t k = 0; k < 3; ++k) {
        if (m_groupLines[k + 3] != kNone && !IntegerOf(values[k + 3], groups[k])) {
            NoteFault(m_groupLines[k + 3], IntegerFault(kRecordCodes[k + 3], values[k + 3]));
            if (damaged != nullptr)
                *damaged = true;
            return false;
        }
    }
    flags = groups[0];
    m = groups[1];
    n = groups[2];
    return true;
}

bool CDxfFile::ReadVertex(CDxfVertex& vertex, bool* damaged) {
    std::uint64_t at = GetPosition();
    const bool read = ReadVertexAt(at, vertex, damaged);
    Seek(static_cast<std::int64_t>(at), begin);
    return read;
}

bool CDxfFile::ReadVertexAt(std::uint64_t& at, CDxfVertex& vertex, bool* damaged) {
    if (damaged != nullptr)
        *damaged = false;
    const std::uint64_t start = at;
    const auto fail = [&](std::uint64_t offset, CMessage what) {
        NoteFault(offset, std::move(what));
        at = start + 1;
        if (damaged != nullptr)
            *damaged = true;
        return false;
    };
    const std::uint64_t lead = std::min(start, kKeywordLookBack);
    const std::string_view text =
        Bytes(start - lead, start + kSequenceEndNear + kKeywordLookahead + 1);
    const std::string_view head = text.substr(static_cast<std::size_t>(lead));
    if (head.empty())
        return fail(start, EndsInside());
    // The end of the sequence: SEQEND, or the next entity or the end of the
    // section when the sequence has no SEQEND.
    const std::size_t seqend = head.find(kSeqend);
    if (seqend >= 1 && seqend <= kSequenceEndNear) {
        at = start + seqend - 1;
        return false;
    }
    const bool endsFile = head.size() < kSequenceEndNear + kKeywordLookahead + 1;
    for (std::size_t k = 1; k <= kSequenceEndNear && k < head.size(); ++k) {
        const std::size_t i = static_cast<std::size_t>(lead) + k;
        // Only a 'P' or an 'E' can start either keyword.
        if ((text[i] == 'P' && EntityKeywordAt(text, i, kPolyline, lead == start, endsFile)) ||
            (text[i] == 'E' && EntityKeywordAt(text, i, kEndsec, lead == start, endsFile))) {
            at = start + k - 1;
            return false;
        }
    }
    const std::uint64_t keyword = start + (head[0] == '\n' ? 1 : 0);
    unsigned found = 0;
    const std::uint64_t end = FindKeyword(
        start + kNextKeywordFrom, kwVertex | kwSeqend | kwPolylineLine | kwEndsecLine, found);
    if (end == kNone)
        return fail(keyword, EndsInside());
    std::array<std::string_view, kRecordCodes.size()> values;
    ReadGroups(start, end, values);
    m_recordStart = keyword;
    // A coordinate without its group keeps what the record held.
    double point[3];
    for (int k = 0; k < 3; ++k) {
        point[k] = *vertex.Element(k + 1);
        if (m_groupLines[static_cast<std::size_t>(k)] == kNone)
            continue;
        const std::string_view token = values[static_cast<std::size_t>(k)];
        const CValue value = RealOf(token, point[k]);
        if (value != CValue::number)
            return fail(m_groupLines[static_cast<std::size_t>(k)],
                        CoordinateFault(static_cast<char>('x' + k), token, value));
    }
    // Flags and face indices; 0 when absent.
    std::int32_t integers[5] = {0, 0, 0, 0, 0};
    for (std::size_t k = 3; k < kRecordCodes.size(); ++k)
        if (m_groupLines[k] != kNone && !IntegerOf(values[k], integers[k - 3]))
            return fail(m_groupLines[k], IntegerFault(kRecordCodes[k], values[k]));
    for (int k = 0; k < 3; ++k)
        *vertex.Element(k + 1) = point[k];
    vertex.m_flags70 = integers[0];
    vertex.m_index71 = integers[1];
    vertex.m_index72 = integers[2];
    vertex.m_index73 = integers[3];
    vertex.m_index74 = integers[4];
    // The next record starts with the LF before its keyword.
    at = end - 1;
    return true;
}

bool CDxfFile::CountPolyfaceRecords(int& nv, int& nf) {
    std::uint64_t at = GetPosition();
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    std::int64_t vertices = 0, faces = 0;
    bool damaged = false;
    CDxfVertex record;
    while (ReadVertexAt(at, record, &damaged)) {
        switch (record.m_flags70) {
        case 192:
        case 64:
        case 32:
        case 0:
            ++vertices;
            break;
        case 128:
            ++faces;
            // A negative index marks an invisible edge; the corner is there.
            if (record.m_index74 != 0)
                ++faces;
            break;
        default:
            break;
        }
        if (vertices > kMax || faces > kMax) {
            NoteFault(m_recordStart, {"more records than a mesh can hold",
                                      "più record di quanti una mesh ne possa contenere"});
            damaged = true;
            break;
        }
    }
    nv = static_cast<int>(std::min(vertices, kMax));
    nf = static_cast<int>(std::min(faces, kMax));
    return !damaged;
}

bool CDxfFile::FindNext3dFace() {
    for (std::uint64_t from = GetPosition();;) {
        const std::uint64_t at = FindText(from, k3dFace);
        if (at == kNone) {
            Seek(0, end);
            return false;
        }
        from = at + 1;
        const std::uint64_t lead = std::min(at, kKeywordLookBack);
        const std::string_view text = Bytes(at - lead, at + kKeywordLookahead);
        if (!EntityKeywordAt(text, static_cast<std::size_t>(lead), k3dFace, lead == at,
                             text.size() < lead + kKeywordLookahead))
            continue;
        Seek(static_cast<std::int64_t>(at), begin);
        return true;
    }
}

bool CDxfFile::Read3dFace(std::array<CVector3, 4>& corners) {
    const std::uint64_t entity = GetPosition();
    std::uint64_t at = entity;
    std::string line;
    NextLine(at, line); // the keyword
    // Groups 10..13, 20..23, 30..33: corner (code % 10), axis (code / 10).
    std::array<std::array<double, 3>, 4> values{};
    std::array<std::array<bool, 3>, 4> given{};
    for (;;) {
        const std::uint64_t codeAt = at;
        if (!NextLine(at, line)) {
            NoteFault(entity, EndsInside());
            return false;
        }
        const int code = GroupCode(line);
        if (code < 0) {
            NoteFault(codeAt, BRELUND_SAY("\"%s\" is not a group code",
                                          "\"%s\" non è un codice di gruppo", Shown(line).c_str()));
            return false;
        }
        if (code == 0) {
            Seek(static_cast<std::int64_t>(codeAt), begin);
            break;
        }
        const std::uint64_t valueAt = at;
        if (!NextLine(at, line)) {
            NoteFault(entity, EndsInside());
            return false;
        }
        const int corner = code % 10, axis = code / 10 - 1;
        if (code < 10 || code > 33 || corner > 3 || given[corner][axis])
            continue;
        const std::string_view token = ValueToken(line);
        double value = 0;
        const CValue kind = RealOf(token, value);
        if (kind != CValue::number) {
            NoteFault(valueAt, BRELUND_SAY("corner %d ", "vertice %d: ", corner + 1) +
                                   CoordinateFault(static_cast<char>('x' + axis), token, kind));
            return false;
        }
        values[corner][axis] = value;
        given[corner][axis] = true;
    }
    const bool fourth = given[3][0] || given[3][1] || given[3][2];
    for (int corner = 0; corner < (fourth ? 4 : 3); ++corner)
        for (int axis = 0; axis < 3; ++axis)
            if (!given[corner][axis]) {
                NoteFault(entity, BRELUND_SAY("corner %d has no %c (group %d)",
                                              "il vertice %d non ha %c (gruppo %d)", corner + 1,
                                              'x' + axis, (axis + 1) * 10 + corner));
                return false;
            }
    for (int corner = 0; corner < 4; ++corner) {
        const auto& v = values[fourth ? corner : std::min(corner, 2)];
        corners[corner] = CVector3(v[0], v[1], v[2]);
    }
    return true;
}

void CDxfFile::RequireWholeEntities() {
    // The section's name: "ENTITIES" as the value of a group 2, not a word
    // inside a layer name or a text.
    std::uint64_t section = kNone;
    for (std::uint64_t from = 0; section == kNone;) {
        const std::uint64_t at = FindText(from, kEntities);
        if (at == kNone)
            break;
        from = at + 1;
        const std::uint64_t lead = std::min(at, kKeywordLookBack);
        const std::string_view text = Bytes(at - lead, at + kKeywordLookahead);
        if (EntityKeywordAt(text, static_cast<std::size_t>(lead), kEntities, lead == at,
                            text.size() < lead + kKeywordLookahead, 2))
            section = at;
    }
    const std::uint64_t length = GetLength();
    if (section != kNone) {
        // Any ENDSEC after the section's name closes it or a later section.
        // A whole drawing ends on one, so the last block of the file nearly
        // always answers without a second pass over the entities.
        const std::uint64_t tailStart = length - std::min<std::uint64_t>(length, kBlockSize);
        const std::string_view tail = Bytes(tailStart, length);
        for (std::size_t i = tail.rfind(kEndsec); i != npos && tailStart + i > section;
             i = i == 0 ? npos : tail.rfind(kEndsec, i - 1))
            if (EntityKeywordAt(tail, i, kEndsec, tailStart == 0, true))
                return;
        unsigned found = 0;
        if (FindKeyword(section + kEntities.size(), kwEndsecLine, found) != kNone)
            return;
    }
    const std::uint64_t last = length > 0 ? length - 1 : 0;
    if (section == kNone)
        throw CFileException(
            CFileException::damaged, GetFilePath(),
            BRELUND_SAY("the drawing ends at line %llu without an ENTITIES section: it was cut "
                        "short, or is no drawing",
                        "il disegno finisce alla riga %llu senza una sezione ENTITIES: è stato "
                        "troncato, o non è un disegno",
                        static_cast<unsigned long long>(LineOf(last))));
    NoteFault(last, {"the drawing ends before the ENDSEC of the section: it was cut short",
                     "il disegno finisce prima dell'ENDSEC della sezione: è stato troncato"});
    RefuseEntity({"ENTITIES section", "sezione ENTITIES"}, section);
}

void CDxfFile::NoteFault(std::uint64_t offset, CMessage what) {
    m_faultOffset = offset;
    m_fault = std::move(what);
}

void CDxfFile::NoteGroupFault(int code, CMessage what) {
    const auto it = std::find(kRecordCodes.begin(), kRecordCodes.end(), code);
    const std::uint64_t line =
        it == kRecordCodes.end()
            ? kNone
            : m_groupLines[static_cast<std::size_t>(it - kRecordCodes.begin())];
    NoteFault(line == kNone ? m_recordStart : line, std::move(what));
}

std::uint64_t CDxfFile::LineOf(std::uint64_t offset) {
    std::uint64_t line = 1;
    for (std::uint64_t p = 0; p < offset;) {
        const std::string_view text = Bytes(p, std::min(offset, p + kBlockSize));
        if (text.empty())
            break;
        line += static_cast<std::uint64_t>(std::count(text.begin(), text.end(), '\n'));
        p += text.size();
    }
    return line;
}

void CDxfFile::RefuseEntity(const CMessage& entity, std::uint64_t entityOffset) {
    CMessage detail = entity + BRELUND_SAY(" starting at line %llu", " che comincia alla riga %llu",
                                           static_cast<unsigned long long>(LineOf(entityOffset)));
    if (!m_fault.english.empty())
        detail += BRELUND_SAY(", line %llu: ", ", riga %llu: ",
                              static_cast<unsigned long long>(LineOf(m_faultOffset))) +
                  m_fault;
    throw CFileException(CFileException::damaged, GetFilePath(), detail);
}

void CDxfFile::WriteEntity(const std::string& text) {
    DropBytes();
    Seek(0, end);
    Write(text.data(), text.size());
}

void CDxfFile::WriteHead() {
    SetLength(0);
    SeekToBegin();
    std::string text;
    AppendGroup(text, "  0", "SECTION");
    AppendGroup(text, "  2", "ENTITIES");
    WriteEntity(text);
}

void CDxfFile::WriteTail() {
    std::string text;
    AppendGroup(text, "  0", "ENDSEC");
    AppendLine(text, "  0");
    text += "EOF";
    WriteEntity(text);
    Flush();
}

void CDxfFile::WriteLine(const CVector3& start, const CVector3& end) {
    WriteEntity(LineText(start, end, nullptr));
}

void CDxfFile::WriteLine(const CVector3& start, const CVector3& end, int colour) {
    WriteEntity(LineText(start, end, &colour));
}

void CDxfFile::WriteSection(const CSegmentList& segments) {
    for (const CSegment& s : segments) {
        CVector3 a, b;
        s.PointAt(0, a);
        s.PointAt(1, b);
        WriteLine(a, b, 1);
    }
}

void CDxfFile::BeginPolyline(int kind, int m, int n) {
    std::string text;
    AppendGroup(text, "  0", "POLYLINE");
    AppendGroup(text, "  8", "DEFAULT");
    AppendGroup(text, " 66", "1");
    AppendGroup(text, " 10", "0.0");
    AppendGroup(text, " 20", "0.0");
    AppendGroup(text, " 30", "0.0");
    const bool mesh = kind == kPolygonMesh || kind == kPolyfaceMesh;
    AppendGroup(text, " 70",
                kind == kPolygonMesh    ? "   16"
                : kind == kPolyfaceMesh ? "   64"
                                        : " 8");
    if (mesh) {
        AppendGroup(text, " 71", FormatC("%d", m));
        AppendGroup(text, " 72", FormatC("%d", n));
    }
    WriteEntity(text);
}

void CDxfFile::WriteVertex(const CVector3& p, int kind, int i1, int i2, int i3, int i4) {
    std::string text;
    AppendGroup(text, " 0", "VERTEX");
    AppendGroup(text, " 8", "DEFAULT");
    AppendGroup(text, " 10", FormatC("%1.8G", p.X()));
    AppendGroup(text, " 20", FormatC("%1.8G", p.Y()));
    AppendGroup(text, " 30", FormatC("%1.8G", p.Z()));
    const char* flags = kind == kPolygonMeshVertex ? "   64"
                        : kind == kPolyfaceFace    ? "   128"
                        : kind == kPolyfaceVertex  ? "   192"
                                                   : "   32";
    AppendGroup(text, " 70", flags);
    if (kind == kPolyfaceFace) {
        AppendGroup(text, " 71", FormatC("%i", i1));
        AppendGroup(text, " 72", FormatC("%i", i2));
        AppendGroup(text, " 73", FormatC("%i", i3));
        if (i4 > 0)
            AppendGroup(text, " 74", FormatC("%i", i4));
    }
    WriteEntity(text);
}

void CDxfFile::EndPolyline() {
    std::string text;
    AppendGroup(text, " 0", "SEQEND");
    AppendGroup(text, "  8", "DEFAULT");
    WriteEntity(text);
}

void CDxfFile::WritePolyfaceFace(int i1, int i2, int i3, int i4) {
    if (i1 <= 0 || i2 <= 0 || i3 <= 0)
        return;
    WriteVertex(CVector3(0, 0, 0), kPolyfaceFace, i1, i2, i3, i4);
}

void CDxfFile::WritePolyfaceMesh(const std::vector<CVector3>& vertices,
                                 const std::vector<CFaceIndices>& faces) {
    for (const CVector3& v : vertices)
        RequireFinite(v);
    WritePolyfaceHeader(static_cast<int>(vertices.size()), static_cast<int>(faces.size()));
    for (const CVector3& v : vertices)
        WritePolyfaceVertex(v);
    for (const CFaceIndices& f : faces)
        WritePolyfaceFace(f.v[0], f.v[1], f.v[2], 0);
    EndPolyline();
}

void CDxfFile::WriteGridMesh(int rows, int cols, const std::vector<CVector3>& points) {
    for (const CVector3& v : points)
        RequireFinite(v);
    WriteGridHeader(rows, cols);
    for (const CVector3& v : points)
        WriteGridVertex(v);
    EndPolyline();
}

void CDxfFile::RequireFinite(const CVector3& p) const {
    for (int k = 1; k <= 3; ++k)
        if (!std::isfinite(*p.Element(k)))
            Fail(CFileException::generic,
                 BRELUND_SAY("the coordinate %g is not a finite number, which a drawing cannot "
                             "hold",
                             "la coordinata %g non è un numero finito, che un disegno non può "
                             "contenere",
                             *p.Element(k)));
}
