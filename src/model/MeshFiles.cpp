#include "MeshFiles.h"

#include "CShipElement.h"
#include "MeshFaces.h"
#include "platform/CFile.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <bit>
#include <cfloat>
#include <charconv>
#include <climits>
#include <cmath>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "binary STL is little-endian and is read as in memory");

namespace {

constexpr std::size_t kStlHeaderSize = 80;
constexpr std::size_t kStlFirstTriangle = 84;
constexpr std::size_t kStlTriangleSize = 50;
// What DetectMeshFile reads of a file: enough for the long comment blocks
// some modellers put before the first OBJ vertex.
constexpr std::size_t kDetectHead = 64 * 1024;
// Writers hand the file blocks of about this size.
constexpr std::size_t kWriteBlock = 64 * 1024;
constexpr std::size_t kMaxCount = INT_MAX;

[[noreturn]] void Damaged(const std::string& path, const std::string& detail) {
    throw CFileException(CFileException::damaged, path, detail);
}

std::string AtLine(std::size_t line) {
    return FormatC("line %zu: ", line);
}

// A token as it stands in the file, for messages: cut short and without
// control characters.
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

// word is lower case.
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

bool IsBlank(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\v' || c == '\f';
}

// Takes the next blank-separated token off the front of line; false when
// only blanks remain.
bool NextToken(std::string_view& line, std::string_view& token) {
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

// A number in the C conventions taking the whole token, with an optional
// leading '+'. False for anything else, and for a magnitude beyond the
// range of the type.
template <class Number> bool ParseWhole(std::string_view token, Number& value) {
    const char* first = token.data();
    const char* last = first + token.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    return ec == std::errc() && end == last;
}

// A number in the C conventions taking the whole token, as ParseWhole; a
// magnitude too small for a double is a number all the same and reads as
// the nearest one (0, or a subnormal, with its sign), as strtod rounds it;
// nan and inf are numbers here and the caller decides on them. Empty when
// value holds it; otherwise why the token is not taken.
std::string ReadNumber(std::string_view token, double& value) {
    const char* first = token.data();
    const char* last = first + token.size();
    if (first != last && *first == '+' && last - first > 1 && first[1] != '-')
        ++first;
    const auto [end, ec] = std::from_chars(first, last, value);
    if (end != last || (ec != std::errc() && ec != std::errc::result_out_of_range))
        return Quoted(token) + " is not a number";
    if (ec == std::errc())
        return {};
    const double rounded = StrtodC(std::string(first, last).c_str(), nullptr);
    if (std::isinf(rounded))
        return Quoted(token) + FormatC(" is out of range (beyond %g)", DBL_MAX);
    value = rounded;
    return {};
}

bool ParseInteger(std::string_view token, long long& value) {
    return ParseWhole(token, value);
}

std::uint64_t Mix(std::uint64_t h) {
    h ^= h >> 33;
    h *= 0xff51afd7ed558ccdULL;
    h ^= h >> 33;
    h *= 0xc4ceb9fe1a85ec53ULL;
    h ^= h >> 33;
    return h;
}

// Distinct points, numbered from 1 in the order first seen, found again by
// the bit patterns of their coordinates in an open-addressing table of
// indices. -0 is stored as 0, so equal coordinates have equal bits.
class CVertexPool {
public:
    // Empties the pool, with room for about expected points before it grows.
    void Reset(std::size_t expected) {
        m_points.clear();
        m_points.reserve(expected);
        std::size_t capacity = 64;
        while (capacity < 2 * expected)
            capacity *= 2;
        m_slots.assign(capacity, 0);
    }

    // The 1-based number of the point (x, y, z), added when new; 0 when the
    // pool already holds the most points a mesh can count.
    std::int32_t Add(double x, double y, double z) {
        const CVector3 p(x == 0 ? 0.0 : x, y == 0 ? 0.0 : y, z == 0 ? 0.0 : z);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t i = Hash(p) & mask;; i = (i + 1) & mask) {
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

    const std::vector<CVector3>& Points() const { return m_points; }

private:
    static std::uint64_t Bits(double v) { return std::bit_cast<std::uint64_t>(v); }
    static std::size_t Hash(const CVector3& p) {
        return static_cast<std::size_t>(Mix(Mix(Mix(Bits(p.X())) ^ Bits(p.Y())) ^ Bits(p.Z())));
    }
    static bool SameBits(const CVector3& a, const CVector3& b) {
        return Bits(a.X()) == Bits(b.X()) && Bits(a.Y()) == Bits(b.Y()) &&
               Bits(a.Z()) == Bits(b.Z());
    }
    void Grow() {
        m_slots.assign(2 * m_slots.size(), 0);
        const std::size_t mask = m_slots.size() - 1;
        for (std::size_t k = 0; k < m_points.size(); ++k) {
            std::size_t i = Hash(m_points[k]) & mask;
            while (m_slots[i] != 0)
                i = (i + 1) & mask;
            m_slots[i] = static_cast<std::int32_t>(k + 1);
        }
    }

    std::vector<CVector3> m_points;
    std::vector<std::int32_t> m_slots;
};

std::unique_ptr<CPolyfaceMesh> MakeMesh(const std::vector<CVector3>& points,
                                        const std::vector<CFaceIndices>& faces) {
    auto mesh = std::make_unique<CPolyfaceMesh>();
    if (points.empty() || faces.empty())
        return mesh;
    mesh->Allocate(static_cast<int>(points.size()), static_cast<int>(faces.size()));
    for (std::size_t k = 0; k < points.size(); ++k)
        *mesh->GetVertex(static_cast<int>(k + 1)) = points[k];
    for (std::size_t i = 0; i < faces.size(); ++i)
        mesh->SetFace(static_cast<int>(i + 1), faces[i].v[0], faces[i].v[1], faces[i].v[2]);
    return mesh;
}

std::uint32_t StlCount(std::string_view bytes) {
    std::uint32_t n;
    std::memcpy(&n, bytes.data() + kStlHeaderSize, sizeof n);
    return n;
}

bool IsBinaryStl(std::string_view head, std::uint64_t size) {
    return size >= kStlFirstTriangle && head.size() >= kStlFirstTriangle &&
           size == kStlFirstTriangle + std::uint64_t{kStlTriangleSize} * StlCount(head);
}

bool StartsWithSolid(std::string_view bytes) {
    std::string_view rest = bytes.substr(0, 256);
    std::string_view token;
    return NextToken(rest, token) && EqualsNoCase(token, "solid");
}

// The first token is "solid" and the bytes hold no NUL, which a binary STL
// all but always has (the high byte of its count, its attribute bytes).
bool LooksLikeAsciiStl(std::string_view bytes) {
    return StartsWithSolid(bytes) && bytes.find('\0') == std::string_view::npos;
}

// Why a file read as a binary STL is not an ASCII one either, when it
// starts as one: a text with a stray NUL is no binary STL of the count its
// bytes 80 to 83 happen to spell.
std::string NotAsciiEither(std::string_view bytes) {
    if (!StartsWithSolid(bytes))
        return "the text does not start with 'solid'";
    return FormatC("the text starts with 'solid' but holds a NUL byte at byte %zu",
                   bytes.find('\0'));
}

std::unique_ptr<CPolyfaceMesh> ReadBinaryStl(std::string_view bytes, const std::string& path) {
    if (bytes.empty())
        Damaged(path, "the file is empty");
    if (bytes.size() < kStlFirstTriangle)
        Damaged(path, FormatC("not an STL file: %zu bytes are too few for a binary STL and ",
                              bytes.size()) +
                          NotAsciiEither(bytes));
    const std::uint32_t n = StlCount(bytes);
    const std::uint64_t expected = kStlFirstTriangle + std::uint64_t{kStlTriangleSize} * n;
    if (expected != bytes.size() && StartsWithSolid(bytes))
        Damaged(path, "not an STL file, neither ASCII (" + NotAsciiEither(bytes) +
                          FormatC(") nor binary (a count of %u triangles would take %llu bytes, "
                                  "but the file has %zu)",
                                  n, static_cast<unsigned long long>(expected), bytes.size()));
    if (expected != bytes.size())
        Damaged(path, FormatC("binary STL counts %u triangles, which take %llu bytes, but the "
                              "file has %zu",
                              n, static_cast<unsigned long long>(expected), bytes.size()));
    if (n > kMaxCount)
        Damaged(path, FormatC("binary STL counts %u triangles, more than a mesh can hold", n));

    CVertexPool pool;
    // A closed surface has about half as many vertices as triangles.
    pool.Reset(n / 2 + 8);
    std::vector<CFaceIndices> faces(n);
    const char* triangle = bytes.data() + kStlFirstTriangle;
    for (std::uint32_t i = 0; i < n; ++i, triangle += kStlTriangleSize) {
        float c[9];
        // After the normal (12 bytes): three corners of three floats.
        std::memcpy(c, triangle + 12, sizeof c);
        for (int k = 0; k < 3; ++k) {
            const float x = c[3 * k], y = c[3 * k + 1], z = c[3 * k + 2];
            if (!std::isfinite(x) || !std::isfinite(y) || !std::isfinite(z))
                Damaged(path, FormatC("triangle %u: a coordinate is not finite", i + 1));
            faces[i].v[k] = pool.Add(x, y, z);
            if (faces[i].v[k] == 0)
                Damaged(path, FormatC("triangle %u: too many vertices", i + 1));
        }
    }
    return MakeMesh(pool.Points(), faces);
}

// solid / facet normal n n n / outer loop / vertex x y z (three times) /
// endloop / endfacet / endsolid, one statement a line; more than one solid
// goes into the same mesh.
std::unique_ptr<CPolyfaceMesh> ReadAsciiStl(std::string_view text, const std::string& path) {
    enum State { beforeSolid, inSolid, beforeLoop, inLoop, beforeEndFacet, afterSolid };
    CVertexPool pool;
    // A facet takes well over 100 characters of text.
    pool.Reset(text.size() / 256);
    std::vector<CFaceIndices> faces;
    faces.reserve(text.size() / 128);
    CFaceIndices face{{0, 0, 0}};
    int corner = 0;
    State state = beforeSolid;
    CLines lines(text);
    std::string_view line, keyword, token;
    auto fail = [&](const std::string& what) { Damaged(path, AtLine(lines.Number()) + what); };
    // The rest of the line, which must be exactly count numbers.
    auto numbers = [&](int count, double* out, const char* what) {
        for (int k = 0; k < count; ++k) {
            if (!NextToken(line, token))
                fail(FormatC("%s needs %d numbers", what, count));
            if (const std::string why = ReadNumber(token, out[k]); !why.empty())
                fail(why);
        }
        if (NextToken(line, token))
            fail(FormatC("%s takes %d numbers, found more: ", what, count) + Quoted(token));
    };
    auto nothingElse = [&](const char* what) {
        if (NextToken(line, token))
            fail(std::string("nothing may follow '") + what + "', found " + Quoted(token));
    };
    auto expected = [&](const char* what) {
        fail(std::string("expected ") + what + ", found " + Quoted(keyword));
    };

    while (lines.Next(line)) {
        if (!NextToken(line, keyword))
            continue;
        switch (state) {
        case beforeSolid:
        case afterSolid:
            if (!EqualsNoCase(keyword, "solid"))
                expected("'solid'");
            state = inSolid; // the rest of the line is the solid's name
            break;
        case inSolid:
            if (EqualsNoCase(keyword, "endsolid")) {
                state = afterSolid;
                break;
            }
            if (!EqualsNoCase(keyword, "facet"))
                expected("'facet' or 'endsolid'");
            if (!NextToken(line, token) || !EqualsNoCase(token, "normal"))
                fail("expected 'facet normal'");
            double normal[3];
            numbers(3, normal, "'facet normal'");
            state = beforeLoop;
            break;
        case beforeLoop:
            if (!EqualsNoCase(keyword, "outer") || !NextToken(line, token) ||
                !EqualsNoCase(token, "loop"))
                expected("'outer loop'");
            nothingElse("outer loop");
            state = inLoop;
            corner = 0;
            break;
        case inLoop:
            if (EqualsNoCase(keyword, "vertex")) {
                if (corner == 3)
                    fail("a facet has more than 3 vertices");
                double p[3];
                numbers(3, p, "'vertex'");
                if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
                    fail("a coordinate is not finite");
                face.v[corner++] = pool.Add(p[0], p[1], p[2]);
                if (face.v[corner - 1] == 0)
                    fail("too many vertices");
                break;
            }
            if (!EqualsNoCase(keyword, "endloop"))
                expected(corner < 3 ? "'vertex'" : "'endloop'");
            if (corner < 3)
                fail(FormatC("a facet has %d vertices instead of 3", corner));
            nothingElse("endloop");
            state = beforeEndFacet;
            break;
        case beforeEndFacet:
            if (!EqualsNoCase(keyword, "endfacet"))
                expected("'endfacet'");
            nothingElse("endfacet");
            if (faces.size() >= kMaxCount)
                fail("too many facets");
            faces.push_back(face);
            state = inSolid;
            break;
        }
    }
    if (state != afterSolid)
        Damaged(path, FormatC("the file ends at line %zu before ", lines.Number()) +
                          (state == beforeSolid ? "any 'solid'" : "'endsolid'"));
    return MakeMesh(pool.Points(), faces);
}

// A face corner's index (v, vt or vn) resolved against the count read so
// far: 1..count, or -1..-count counting back from the last. 0-based; -1
// when it names nothing.
long long ResolveIndex(long long k, std::size_t count) {
    const auto n = static_cast<long long>(count);
    if (k > 0 && k <= n)
        return k - 1;
    if (k < 0 && k >= -n)
        return n + k;
    return -1;
}

// An OBJ text read line by line: the file's vertices in one list, the faces
// of each group into a mesh of the vertices they use.
class CObjReader {
public:
    CObjReader(std::string_view text, const std::string& path) : m_lines(text), m_path(path) {
        m_pool.Reset(0);
    }

    std::vector<std::unique_ptr<CPolyfaceMesh>> Read() {
        std::string_view line, keyword;
        while (m_lines.Next(line)) {
            if (!NextToken(line, keyword) || keyword[0] == '#')
                continue;
            if (keyword == "v")
                Vertex(line);
            else if (keyword == "vt")
                ++m_texture_count;
            else if (keyword == "vn")
                ++m_normal_count;
            else if (keyword == "f")
                Face(line);
            else if (keyword == "o" || keyword == "g")
                EndGroup();
        }
        EndGroup();
        return std::move(m_meshes);
    }

private:
    [[noreturn]] void Fail(const std::string& what) const {
        Damaged(m_path, AtLine(m_lines.Number()) + what);
    }

    void Vertex(std::string_view line) {
        std::string_view token;
        double p[3];
        for (double& c : p) {
            if (!NextToken(line, token))
                Fail("a vertex needs 3 coordinates");
            if (const std::string why = ReadNumber(token, c); !why.empty())
                Fail(why);
            if (!std::isfinite(c))
                Fail("a coordinate is not finite");
        }
        // A weight or a colour may follow; they are not used.
        double extra;
        while (NextToken(line, token))
            if (const std::string why = ReadNumber(token, extra); !why.empty())
                Fail(why);
        if (m_positions.size() >= kMaxCount)
            Fail("too many vertices");
        m_positions.emplace_back(p[0], p[1], p[2]);
    }

    // One field of a corner: the index it holds resolved against count.
    long long Field(std::string_view field, std::size_t count, const char* what,
                    std::string_view corner) const {
        long long k;
        if (!ParseInteger(field, k))
            Fail("face corner " + Quoted(corner) + ": " + Quoted(field) + " is not an index");
        const long long index = ResolveIndex(k, count);
        if (index < 0)
            Fail("face corner " + Quoted(corner) +
                 FormatC(": %s index %lld out of range (%zu read so far)", what, k, count));
        return index;
    }

    void Face(std::string_view line) {
        m_corners.clear();
        std::string_view corner;
        while (NextToken(line, corner)) {
            // v, v/vt, v//vn or v/vt/vn.
            const std::size_t s1 = corner.find('/');
            const std::string_view v = corner.substr(0, s1);
            const long long index = Field(v, m_positions.size(), "vertex", corner);
            if (s1 != std::string_view::npos) {
                std::string_view rest = corner.substr(s1 + 1);
                const std::size_t s2 = rest.find('/');
                const std::string_view vt = rest.substr(0, s2);
                if (!vt.empty())
                    Field(vt, m_texture_count, "texture", corner);
                if (s2 != std::string_view::npos) {
                    const std::string_view vn = rest.substr(s2 + 1);
                    if (vn.empty() || vn.find('/') != std::string_view::npos)
                        Fail("face corner " + Quoted(corner) + " is not v, v/vt, v//vn or v/vt/vn");
                    Field(vn, m_normal_count, "normal", corner);
                } else if (vt.empty()) {
                    Fail("face corner " + Quoted(corner) + " is not v, v/vt, v//vn or v/vt/vn");
                }
            }
            m_corners.push_back(Local(static_cast<std::size_t>(index)));
        }
        if (m_corners.size() < 3)
            Fail(FormatC("a face needs 3 corners, this one has %zu", m_corners.size()));
        // A fan from the first corner: a quadrilateral 1 2 3 4 gives
        // (1, 2, 3), (1, 3, 4).
        if (m_faces.size() + (m_corners.size() - 2) > kMaxCount)
            Fail("too many faces");
        for (std::size_t i = 1; i + 1 < m_corners.size(); ++i)
            m_faces.push_back(CFaceIndices{{m_corners[0], m_corners[i], m_corners[i + 1]}});
    }

    // The number in the current mesh of the file's vertex g (0-based).
    std::int32_t Local(std::size_t g) {
        if (m_stamp.size() < m_positions.size()) {
            m_stamp.resize(m_positions.size(), 0);
            m_local.resize(m_positions.size(), 0);
        }
        if (m_stamp[g] != m_group) {
            const CVector3& p = m_positions[g];
            m_stamp[g] = m_group;
            m_local[g] = m_pool.Add(p.X(), p.Y(), p.Z());
        }
        return m_local[g];
    }

    void EndGroup() {
        if (!m_faces.empty())
            m_meshes.push_back(MakeMesh(m_pool.Points(), m_faces));
        m_faces.clear();
        m_pool.Reset(0);
        // A new group number makes every vertex new to the mesh.
        if (++m_group == 0) {
            std::fill(m_stamp.begin(), m_stamp.end(), 0);
            m_group = 1;
        }
    }

    CLines m_lines;
    const std::string& m_path;
    std::vector<CVector3> m_positions;
    std::size_t m_texture_count = 0;
    std::size_t m_normal_count = 0;
    std::vector<std::int32_t> m_corners;
    // Per file vertex: the group that last used it and its number there.
    std::vector<std::uint32_t> m_stamp;
    std::vector<std::int32_t> m_local;
    std::uint32_t m_group = 1;
    CVertexPool m_pool;
    std::vector<CFaceIndices> m_faces;
    std::vector<std::unique_ptr<CPolyfaceMesh>> m_meshes;
};

std::string ReadWholeFile(const std::string& path) {
    CFile file(path, CFile::modeRead);
    std::string bytes(file.GetLength(), '\0');
    bytes.resize(file.Read(bytes.data(), bytes.size()));
    return bytes;
}

// Group-code/value pairs: the first line a group code, and a line that is
// one of the keywords a drawing with meshes has.
bool LooksLikeDxf(std::string_view head) {
    CLines lines(head);
    std::string_view line, token, rest;
    bool first = true;
    while (lines.Next(line)) {
        rest = line;
        if (!NextToken(rest, token))
            continue;
        if (first) {
            long long code;
            if (!ParseInteger(token, code) || NextToken(rest, token))
                return false;
            first = false;
        } else if ((token == "SECTION" || token == "ENTITIES" || token == "POLYLINE" ||
                    token == "3DFACE") &&
                   !NextToken(rest, token)) {
            return true;
        }
    }
    return false;
}

bool LooksLikeObj(std::string_view head) {
    CLines lines(head);
    std::string_view line;
    while (lines.Next(line))
        if (line.size() >= 2 && (line[0] == 'v' || line[0] == 'f') &&
            (line[1] == ' ' || line[1] == '\t'))
            return true;
    return false;
}

std::string LowerExtension(const std::string& path) {
    const std::size_t dot = path.find_last_of("./");
    if (dot == std::string::npos || path[dot] != '.')
        return {};
    std::string ext = path.substr(dot);
    for (char& c : ext)
        c = Lower(c);
    return ext;
}

// The element's name as one OBJ token.
std::string ObjName(const std::string& name) {
    std::string out = name.empty() ? "element" : name;
    for (char& c : out)
        if (static_cast<unsigned char>(c) <= ' ' || c == 0x7F)
            c = '_';
    return out;
}

void AppendNumber(std::string& out, double v) {
    // As "%.17g" formats it in the C locale: enough digits for any double
    // to read back to the same bits.
    char text[32];
    const auto r = std::to_chars(text, text + sizeof text, v, std::chars_format::general, 17);
    out.append(text, r.ptr);
}

void AppendIndex(std::string& out, long long k) {
    char text[24];
    const auto r = std::to_chars(text, text + sizeof text, k);
    out.append(text, r.ptr);
}

} // namespace

CMeshFileKind DetectMeshKind(std::string_view head, std::uint64_t size, const std::string& path) {
    if (IsBinaryStl(head, size))
        return CMeshFileKind::stlBinary;
    const bool text = head.find('\0') == std::string_view::npos;
    if (text) {
        if (LooksLikeAsciiStl(head) &&
            (ContainsNoCase(head, "facet") || ContainsNoCase(head, "endsolid")))
            return CMeshFileKind::stlAscii;
        if (LooksLikeDxf(head))
            return CMeshFileKind::dxf;
        if (LooksLikeObj(head))
            return CMeshFileKind::obj;
    }
    const std::string ext = LowerExtension(path);
    if (ext == ".stl")
        return LooksLikeAsciiStl(head) ? CMeshFileKind::stlAscii : CMeshFileKind::stlBinary;
    if (ext == ".obj")
        return CMeshFileKind::obj;
    if (ext == ".dxf")
        return CMeshFileKind::dxf;
    return CMeshFileKind::unknown;
}

CMeshFileKind DetectMeshFile(const std::string& path) {
    CFile file(path, CFile::modeRead);
    const std::uint64_t size = file.GetLength();
    std::string head(static_cast<std::size_t>(std::min<std::uint64_t>(size, kDetectHead)), '\0');
    head.resize(file.Read(head.data(), head.size()));
    return DetectMeshKind(head, size, path);
}

std::unique_ptr<CPolyfaceMesh> ReadStlBytes(std::string_view bytes, const std::string& path) {
    if (!IsBinaryStl(bytes, bytes.size()) && LooksLikeAsciiStl(bytes))
        return ReadAsciiStl(bytes, path);
    return ReadBinaryStl(bytes, path);
}

std::unique_ptr<CPolyfaceMesh> ReadStl(const std::string& path) {
    return ReadStlBytes(ReadWholeFile(path), path);
}

std::vector<std::unique_ptr<CPolyfaceMesh>> ReadObjBytes(std::string_view bytes,
                                                         const std::string& path) {
    return CObjReader(bytes, path).Read();
}

std::vector<std::unique_ptr<CPolyfaceMesh>> ReadObj(const std::string& path) {
    return ReadObjBytes(ReadWholeFile(path), path);
}

void WriteStl(const CShipElement& element, CFile& file) {
    unsigned long long triangles = 0;
    meshfaces::ForEachFaceInShipAxes(element, [&](const CVector3*, int n) { triangles += n - 2; });
    if (triangles > UINT32_MAX)
        file.Fail(CFileException::generic,
                  FormatC("%llu triangles are more than an STL file can count", triangles));

    std::string out;
    out.reserve(kWriteBlock + kStlTriangleSize);
    const std::string title = "Brelund element " + element.GetName();
    out.append(title, 0, kStlHeaderSize);
    out.resize(kStlHeaderSize, '\0');
    const auto count = static_cast<std::uint32_t>(triangles);
    out.append(reinterpret_cast<const char*>(&count), sizeof count);

    auto put = [&](const CVector3& v) {
        float f[3];
        for (int k = 0; k < 3; ++k) {
            const double c = *v.Element(k + 1);
            if (!(std::fabs(c) <= FLT_MAX))
                file.Fail(CFileException::generic,
                          FormatC("the coordinate %g does not fit in an STL file", c));
            f[k] = static_cast<float>(c);
        }
        out.append(reinterpret_cast<const char*>(f), sizeof f);
    };
    meshfaces::ForEachFaceInShipAxes(element, [&](const CVector3* p, int n) {
        for (int k = 1; k + 1 < n; ++k) {
            CVector3 u = p[k], w = p[k + 1], normal;
            u.Subtract(p[0]);
            w.Subtract(p[0]);
            normal.Cross(u, w);
            normal.Normalize();
            if (!std::isfinite(normal.X()) || !std::isfinite(normal.Y()) ||
                !std::isfinite(normal.Z()))
                normal.Zero();
            put(normal);
            put(p[0]);
            put(p[k]);
            put(p[k + 1]);
            out.append(2, '\0'); // attribute byte count
            if (out.size() >= kWriteBlock) {
                file.Write(out.data(), out.size());
                out.clear();
            }
        }
    });
    file.Write(out.data(), out.size());
}

void WriteObj(const CShipElement& element, CFile& file) {
    const std::string name = ObjName(element.GetName());
    std::string out = "# Brelund element " + name + "\n";
    out.reserve(kWriteBlock + 128);
    auto flush = [&] {
        if (out.size() >= kWriteBlock) {
            file.Write(out.data(), out.size());
            out.clear();
        }
    };
    long long base = 0; // vertices written before this mesh's
    for (int m = 1; m <= element.GetCount(); ++m) {
        const CMesh& mesh = *element.GetAt(m);
        const CVector3* points = meshfaces::VertexArray(mesh);
        const int nv = mesh.GetVertexCount();
        if (points == nullptr || nv == 0 || mesh.GetFaceCount() == 0)
            continue;
        out += "o " + name + "_" + FormatC("%d", m) + "\n";
        for (int k = 0; k < nv; ++k) {
            for (double c : {points[k].X(), points[k].Y(), points[k].Z()})
                if (!std::isfinite(c))
                    file.Fail(CFileException::generic,
                              FormatC("the coordinate %g is not a finite number, which an OBJ "
                                      "file cannot hold",
                                      c));
            out += "v ";
            AppendNumber(out, points[k].X());
            out += ' ';
            AppendNumber(out, points[k].Y());
            out += ' ';
            AppendNumber(out, points[k].Z());
            out += '\n';
            flush();
        }
        meshfaces::ForEachFace(mesh, points, [&](const CVector3* const* corners, int n) {
            for (int k = 1; k + 1 < n; ++k) {
                out += "f";
                for (const CVector3* c : {corners[0], corners[k], corners[k + 1]}) {
                    out += ' ';
                    AppendIndex(out, base + (c - points) + 1);
                }
                out += '\n';
                flush();
            }
        });
        base += nv;
    }
    file.Write(out.data(), out.size());
}
