#include "CDxfFile.h"

#include "CTextTokenizer.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>
#include <limits>
#include <string_view>

namespace {

constexpr std::string_view kEntities = "ENTITIES";
constexpr std::string_view kPolyline = "POLYLINE";
constexpr std::string_view kVertex = "VERTEX";
constexpr std::string_view kSeqend = "SEQEND";
constexpr std::size_t npos = std::string::npos;

// FindEntities leaves the file this many bytes before the section name.
constexpr std::uint64_t kEntitiesLead = 7;

// The keyword of the record at the start of a VERTEX window sits at offset 0
// or 1 (after the LF left by the previous record); the next keyword is looked
// for from here on, past the current one.
constexpr std::size_t kNextKeywordFrom = 6;

const char* const kEol = "\r\n";

// A window from a drawing written with bare LF line ends: no CR at all. A
// window with any CR is read byte for byte as CR LF text.
bool HasBareLineFeeds(const std::string& window) {
    return window.find('\r') == npos && window.find('\n') != npos;
}

// The text with every LF turned into CR LF, so that a bare-LF record matches
// the same group patterns and gives the same tokens as its CR LF twin.
std::string WithCrLf(const std::string& text) {
    std::string out;
    out.reserve(text.size() + text.size() / 8);
    for (char c : text) {
        if (c == '\n')
            out += '\r';
        out += c;
    }
    return out;
}

// Finds the group-code line of code as LF, code, CR; when found, reads the
// code line and then the value line with the tokenizer, from the LF itself or
// from just after it, and gives the value.
bool FindGroup(const std::string& text, const char* code, bool fromLineFeed, double& value) {
    const std::string pattern = std::string("\n") + code + "\r";
    const std::size_t at = text.find(pattern);
    if (at == npos)
        return false;
    CTextTokenizer tokenizer(text);
    tokenizer.SetPosition(static_cast<std::int32_t>(fromLineFeed ? at : at + 1));
    double codeValue = 0;
    tokenizer.ReadDouble(codeValue);
    tokenizer.ReadDouble(value);
    return true;
}

// Truncated towards zero. A value the drawing writes out of the int range
// (or as "nan") saturates instead of being undefined.
std::int32_t TruncateToInt32(double value) {
    if (std::isnan(value))
        return 0;
    if (value >= static_cast<double>(std::numeric_limits<std::int32_t>::max()))
        return std::numeric_limits<std::int32_t>::max();
    if (value <= static_cast<double>(std::numeric_limits<std::int32_t>::min()))
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(value);
}

std::int32_t IntGroup(const std::string& text, const char* code, bool fromLineFeed) {
    double value = 0;
    return FindGroup(text, code, fromLineFeed, value) ? TruncateToInt32(value) : 0;
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

std::size_t CDxfFile::ReadWindow(std::string& window, std::size_t count) {
    window.resize(count);
    const std::size_t n = Read(window.data(), count);
    window.resize(n);
    return n;
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
    SeekToBegin();
    std::uint64_t chunkStart = 0;
    std::string chunk;
    for (;;) {
        const std::size_t n = ReadWindow(chunk, kChunkSize);
        if (n == 0)
            return false;
        const std::size_t at = chunk.find(kEntities);
        if (at != npos) {
            const std::uint64_t keyword = chunkStart + at;
            Seek(static_cast<std::int64_t>(keyword >= kEntitiesLead ? keyword - kEntitiesLead : 0),
                 begin);
            return true;
        }
        chunkStart += n;
    }
}

bool CDxfFile::FindNextPolyline() {
    const std::uint64_t length = GetLength();
    std::uint64_t chunkStart = GetPosition();
    std::string chunk;
    for (;;) {
        const std::size_t n = ReadWindow(chunk, kChunkSize);
        if (n == 0)
            return false;
        const std::size_t at = chunk.find(kPolyline);
        if (at != npos) {
            Seek(static_cast<std::int64_t>(chunkStart + at), begin);
            return true;
        }
        if (chunkStart + n >= length)
            return false;
        // Step back over the overlap only when the chunk is longer than it,
        // so that every round moves forward.
        chunkStart += n > kChunkOverlap ? n - kChunkOverlap : n;
        Seek(static_cast<std::int64_t>(chunkStart), begin);
    }
}

bool CDxfFile::ReadPolylineHeader(int& flags, int& m, int& n) {
    flags = m = n = 0;
    const std::uint64_t start = GetPosition();
    std::string window;
    ReadWindow(window, kRecordWindow);
    const std::size_t vertex = window.find(kVertex);
    // A POLYLINE without vertex records ends (SEQEND) or is followed by
    // another POLYLINE before any VERTEX: the VERTEX found further on belongs
    // to the next entity, which the search must still find.
    const std::size_t own = window.find(kPolyline);
    const std::size_t other = own == npos ? npos : window.find(kPolyline, own + 1);
    const std::size_t end = std::min(window.find(kSeqend), other);
    if (end != npos && end < vertex) {
        Seek(static_cast<std::int64_t>(start + end), begin);
        return false;
    }
    if (vertex == npos)
        return false;
    Seek(static_cast<std::int64_t>(start + vertex), begin);
    std::string header = window.substr(0, vertex);
    if (HasBareLineFeeds(window))
        header = WithCrLf(header);
    flags = IntGroup(header, " 70", true);
    m = IntGroup(header, " 71", true);
    n = IntGroup(header, " 72", true);
    return true;
}

bool CDxfFile::ReadVertex(CDxfVertex& vertex, bool* damaged) {
    if (damaged != nullptr)
        *damaged = false;
    const std::uint64_t start = GetPosition();
    std::string window;
    if (ReadWindow(window, kRecordWindow) == 0) {
        // The drawing ends inside the sequence, without its SEQEND.
        if (damaged != nullptr)
            *damaged = true;
        return false;
    }
    const std::size_t seqend = window.find(kSeqend);
    if (seqend >= 1 && seqend <= 5) {
        Seek(static_cast<std::int64_t>(start + seqend - 1), begin);
        return false;
    }
    const std::size_t end =
        std::min(window.find(kVertex, kNextKeywordFrom), window.find(kSeqend, kNextKeywordFrom));
    if (end == npos) {
        // The record is longer than the window, or the drawing ends inside it:
        // the entity is given up, and the POLYLINE search goes on from here.
        Seek(static_cast<std::int64_t>(start + 1), begin);
        if (damaged != nullptr)
            *damaged = true;
        return false;
    }
    // The next window starts with the LF before the next keyword.
    Seek(static_cast<std::int64_t>(start + end - 1), begin);
    std::string record = window.substr(0, end);
    if (HasBareLineFeeds(window))
        record = WithCrLf(record);
    static const char* const kCoordinateCodes[3] = {" 10", " 20", " 30"};
    for (int k = 1; k <= 3; ++k) {
        double value = 0;
        // A coordinate without its group keeps what the record held.
        if (FindGroup(record, kCoordinateCodes[k - 1], false, value))
            *vertex.Element(k) = value;
    }
    vertex.m_flags70 = IntGroup(record, " 70", false);
    vertex.m_index71 = IntGroup(record, " 71", false);
    vertex.m_index72 = IntGroup(record, " 72", false);
    vertex.m_index73 = IntGroup(record, " 73", false);
    vertex.m_index74 = IntGroup(record, " 74", false);
    return true;
}

bool CDxfFile::CountPolyfaceRecords(int& nv, int& nf) {
    const std::uint64_t start = GetPosition();
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    std::int64_t vertices = 0, faces = 0;
    bool damaged = false;
    CDxfVertex record;
    while (ReadVertex(record, &damaged)) {
        switch (record.m_flags70) {
        case 192:
        case 64:
        case 32:
        case 0:
            ++vertices;
            break;
        case 128:
            ++faces;
            if (record.m_index74 > 0)
                ++faces;
            break;
        default:
            break;
        }
        if (vertices > kMax || faces > kMax) {
            damaged = true;
            break;
        }
    }
    Seek(static_cast<std::int64_t>(start), begin);
    nv = static_cast<int>(std::min(vertices, kMax));
    nf = static_cast<int>(std::min(faces, kMax));
    return !damaged;
}

void CDxfFile::WriteEntity(const std::string& text) {
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
