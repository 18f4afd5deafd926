#include "StlReader.h"

#include "MeshFileText.h"
#include "platform/NumberText.h"

#include <array>
#include <bit>
#include <cmath>
#include <cstring>

static_assert(std::endian::native == std::endian::little,
              "binary STL is little-endian and is read as in memory");

using namespace meshtext;

namespace {

constexpr std::size_t kStlHeaderSize = 80;
constexpr std::size_t kStlFirstTriangle = 84;
constexpr std::size_t kStlTriangleSize = 50;

std::uint32_t StlCount(std::string_view bytes) {
    std::uint32_t n;
    std::memcpy(&n, bytes.data() + kStlHeaderSize, sizeof n);
    return n;
}

bool StartsWithSolid(std::string_view bytes) {
    std::string_view rest = bytes.substr(0, 256);
    std::string_view token;
    return NextToken(rest, token) && EqualsNoCase(token, "solid");
}

// Why a file read as a binary STL is not an ASCII one either, when it
// starts as one: a text with a stray NUL is no binary STL of the count its
// bytes 80 to 83 happen to spell.
CMessage NotAsciiEither(std::string_view bytes) {
    if (!StartsWithSolid(bytes))
        return {"the text does not start with 'solid'", "il testo non comincia con 'solid'"};
    return BRELUND_SAY("the text starts with 'solid' but holds a NUL byte at byte %zu",
                       "il testo comincia con 'solid' ma contiene un byte NUL al byte %zu",
                       bytes.find('\0'));
}

// The pool's points and the triangles over them; nothing without a
// triangle.
CTriangleArrays Arrays(CVertexPool& pool, std::vector<CFaceIndices> faces) {
    CTriangleArrays out;
    if (faces.empty())
        return out;
    out.vertices = pool.TakePoints();
    out.faces = std::move(faces);
    return out;
}

CTriangleArrays ReadBinaryStl(std::string_view bytes, const std::string& path) {
    if (bytes.empty())
        Damaged(path, {"the file is empty", "il file è vuoto"});
    if (bytes.size() < kStlFirstTriangle)
        Damaged(path, BRELUND_SAY("not an STL file: %zu bytes are too few for a binary STL and ",
                                  "non è un file STL: %zu byte sono troppo pochi per un STL "
                                  "binario e ",
                                  bytes.size()) +
                          NotAsciiEither(bytes));
    const std::uint32_t n = StlCount(bytes);
    const std::uint64_t expected = kStlFirstTriangle + std::uint64_t{kStlTriangleSize} * n;
    if (expected != bytes.size() && StartsWithSolid(bytes))
        Damaged(path,
                CMessage("not an STL file, neither ASCII (", "non è un file STL, né ASCII (") +
                    NotAsciiEither(bytes) +
                    BRELUND_SAY(") nor binary (a count of %u triangles would take %llu "
                                "bytes, but the file has %zu)",
                                ") né binario (%u triangoli richiederebbero %llu byte, ma il "
                                "file ne ha %zu)",
                                n, static_cast<unsigned long long>(expected), bytes.size()));
    if (expected != bytes.size())
        Damaged(path, BRELUND_SAY("binary STL counts %u triangles, which take %llu bytes, but the "
                                  "file has %zu",
                                  "l'STL binario conta %u triangoli, che richiedono %llu byte, "
                                  "ma il file ne ha %zu",
                                  n, static_cast<unsigned long long>(expected), bytes.size()));
    if (n > kMaxCount)
        Damaged(path, BRELUND_SAY("binary STL counts %u triangles, more than a mesh can hold",
                                  "l'STL binario conta %u triangoli, più di quanti una mesh ne "
                                  "possa contenere",
                                  n));

    CVertexPool pool;
    // A closed surface has about half as many vertices as triangles.
    pool.Reset(n / 2 + 8);
    std::vector<CFaceIndices> faces(n);
    // The pool's table is far larger than the caches: each corner is keyed
    // 2 x kAhead triangles ahead, when its slot is asked for, and its point
    // kAhead triangles ahead; the keys wait in a ring.
    constexpr std::uint32_t kAhead = 8;
    constexpr std::uint32_t kRing = 2 * kAhead + 1;
    struct CKeyed {
        std::array<CVertexPool::CKey, 3> keys;
        std::array<bool, 3> finite;
    };
    std::array<CKeyed, kRing> ring;
    const auto keyTriangle = [&](std::uint32_t t) {
        float c[9];
        // After the normal (12 bytes): three corners of three floats.
        std::memcpy(c, bytes.data() + kStlFirstTriangle + kStlTriangleSize * t + 12, sizeof c);
        CKeyed& keyed = ring[t % kRing];
        for (std::size_t k = 0; k < 3; ++k) {
            const float x = c[3 * k], y = c[3 * k + 1], z = c[3 * k + 2];
            keyed.finite[k] = std::isfinite(x) && std::isfinite(y) && std::isfinite(z);
            keyed.keys[k] = CVertexPool::Key(x, y, z);
            pool.PrefetchSlot(keyed.keys[k]);
        }
    };
    for (std::uint32_t t = 0; t < n && t < 2 * kAhead; ++t)
        keyTriangle(t);
    for (std::uint32_t i = 0; i < n; ++i) {
        if (n - i > 2 * kAhead)
            keyTriangle(i + 2 * kAhead);
        if (n - i > kAhead)
            for (const CVertexPool::CKey& key : ring[(i + kAhead) % kRing].keys)
                pool.PrefetchPoint(key);
        const CKeyed& keyed = ring[i % kRing];
        for (std::size_t k = 0; k < 3; ++k) {
            if (!keyed.finite[k])
                Damaged(path, BRELUND_SAY("triangle %u: a coordinate is not finite",
                                          "triangolo %u: una coordinata non è finita", i + 1));
            faces[i].v[k] = pool.Add(keyed.keys[k]);
            if (faces[i].v[k] == 0)
                Damaged(path, BRELUND_SAY("triangle %u: too many vertices",
                                          "triangolo %u: troppi vertici", i + 1));
        }
    }
    return Arrays(pool, std::move(faces));
}

// solid / facet normal n n n / outer loop / vertex x y z (three times) /
// endloop / endfacet / endsolid, one statement a line; more than one solid
// goes into the same mesh.
CTriangleArrays ReadAsciiStl(std::string_view text, const std::string& path) {
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
    auto fail = [&](const CMessage& what) { Damaged(path, AtLine(lines.Number()) + what); };
    // The rest of the line, which must be exactly count numbers.
    auto numbers = [&](int count, double* out, const char* what) {
        for (int k = 0; k < count; ++k) {
            if (!NextToken(line, token))
                fail(BRELUND_SAY("%s needs %d numbers", "%s richiede %d numeri", what, count));
            if (const CMessage why = ReadNumber(token, out[k]); !why.english.empty())
                fail(why);
        }
        if (NextToken(line, token))
            fail(BRELUND_SAY("%s takes %d numbers, found more: %s",
                             "%s richiede %d numeri, trovati di più: %s", what, count,
                             Quoted(token).c_str()));
    };
    auto nothingElse = [&](const char* what) {
        if (NextToken(line, token))
            fail(BRELUND_SAY("nothing may follow '%s', found %s",
                             "nulla può seguire '%s', trovato %s", what, Quoted(token).c_str()));
    };
    auto expected = [&](const char* what) {
        fail(BRELUND_SAY("expected %s, found %s", "atteso %s, trovato %s", what,
                         Quoted(keyword).c_str()));
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
                fail({"expected 'facet normal'", "atteso 'facet normal'"});
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
                    fail({"a facet has more than 3 vertices", "una faccia ha più di 3 vertici"});
                double p[3];
                numbers(3, p, "'vertex'");
                if (!std::isfinite(p[0]) || !std::isfinite(p[1]) || !std::isfinite(p[2]))
                    fail({"a coordinate is not finite", "una coordinata non è finita"});
                face.v[corner++] = pool.Add(p[0], p[1], p[2]);
                if (face.v[corner - 1] == 0)
                    fail({"too many vertices", "troppi vertici"});
                break;
            }
            if (!EqualsNoCase(keyword, "endloop"))
                expected(corner < 3 ? "'vertex'" : "'endloop'");
            if (corner < 3)
                fail(BRELUND_SAY("a facet has %d vertices instead of 3",
                                 "una faccia ha %d vertici invece di 3", corner));
            nothingElse("endloop");
            state = beforeEndFacet;
            break;
        case beforeEndFacet:
            if (!EqualsNoCase(keyword, "endfacet"))
                expected("'endfacet'");
            nothingElse("endfacet");
            if (faces.size() >= kMaxCount)
                fail({"too many facets", "troppe facce"});
            faces.push_back(face);
            state = inSolid;
            break;
        }
    }
    if (state != afterSolid)
        Damaged(path, state == beforeSolid
                          ? BRELUND_SAY("the file ends at line %zu before any 'solid'",
                                        "il file finisce alla riga %zu prima di ogni 'solid'",
                                        lines.Number())
                          : BRELUND_SAY("the file ends at line %zu before 'endsolid'",
                                        "il file finisce alla riga %zu prima di 'endsolid'",
                                        lines.Number()));
    return Arrays(pool, std::move(faces));
}

} // namespace

bool IsBinaryStl(std::string_view head, std::uint64_t size) {
    return size >= kStlFirstTriangle && head.size() >= kStlFirstTriangle &&
           size == kStlFirstTriangle + std::uint64_t{kStlTriangleSize} * StlCount(head);
}

bool LooksLikeAsciiStl(std::string_view bytes) {
    return StartsWithSolid(bytes) && bytes.find('\0') == std::string_view::npos;
}

CTriangleArrays ReadStlBytes(std::string_view bytes, const std::string& path) {
    if (!IsBinaryStl(bytes, bytes.size()) && LooksLikeAsciiStl(bytes))
        return ReadAsciiStl(bytes, path);
    return ReadBinaryStl(bytes, path);
}

CTriangleArrays ReadStlFile(const std::string& path) {
    return ReadStlBytes(ReadWholeFile(path), path);
}
