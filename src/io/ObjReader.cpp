#include "ObjReader.h"

#include "MeshFileText.h"
#include "platform/NumberText.h"

#include <algorithm>
#include <cmath>

using namespace meshtext;

namespace {

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
// of each group into a set of the vertices they use.
class CObjReader {
public:
    CObjReader(std::string_view text, const std::string& path) : m_lines(text), m_path(path) {
        m_pool.Reset(0);
    }

    std::vector<CTriangleArrays> Read() {
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
    [[noreturn]] void Fail(const CMessage& what) const {
        Damaged(m_path, AtLine(m_lines.Number()) + what);
    }

    void Vertex(std::string_view line) {
        std::string_view token;
        double p[3];
        for (double& c : p) {
            if (!NextToken(line, token))
                Fail({"a vertex needs 3 coordinates", "un vertice richiede 3 coordinate"});
            if (const CMessage why = ReadNumber(token, c); !why.english.empty())
                Fail(why);
            if (!std::isfinite(c))
                Fail({"a coordinate is not finite", "una coordinata non è finita"});
        }
        // A weight or a colour may follow; they are not used.
        double extra;
        while (NextToken(line, token))
            if (const CMessage why = ReadNumber(token, extra); !why.english.empty())
                Fail(why);
        if (m_positions.size() >= kMaxCount)
            Fail({"too many vertices", "troppi vertici"});
        m_positions.emplace_back(p[0], p[1], p[2]);
    }

    // One field of a corner: the index it holds resolved against count.
    // what: the kind of index, "vertex", "texture" or "normal", as the
    // file's own keywords v, vt and vn say.
    long long Field(std::string_view field, std::size_t count, const char* what,
                    std::string_view corner) const {
        long long k;
        if (!ParseInteger(field, k))
            Fail(BRELUND_SAY("face corner %s: %s is not an index",
                             "vertice di faccia %s: %s non è un indice", Quoted(corner).c_str(),
                             Quoted(field).c_str()));
        const long long index = ResolveIndex(k, count);
        if (index < 0)
            Fail(CMessage(FormatC("face corner %s: %s index %lld out of range (%zu read so far)",
                                  Quoted(corner).c_str(), what, k, count),
                          FormatC("vertice di faccia %s: indice %s %lld fuori intervallo (%zu "
                                  "letti finora)",
                                  Quoted(corner).c_str(), ItalianIndexKind(what), k, count)));
        return index;
    }

    static const char* ItalianIndexKind(const char* what) {
        const std::string_view kind = what;
        return kind == "vertex" ? "di vertice" : kind == "texture" ? "di texture" : "di normale";
    }

    [[noreturn]] void FailCornerForm(std::string_view corner) const {
        Fail(BRELUND_SAY("face corner %s is not v, v/vt, v//vn or v/vt/vn",
                         "vertice di faccia %s non è v, v/vt, v//vn o v/vt/vn",
                         Quoted(corner).c_str()));
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
                        FailCornerForm(corner);
                    Field(vn, m_normal_count, "normal", corner);
                } else if (vt.empty()) {
                    FailCornerForm(corner);
                }
            }
            m_corners.push_back(Local(static_cast<std::size_t>(index)));
        }
        if (m_corners.size() < 3)
            Fail(BRELUND_SAY("a face needs 3 corners, this one has %zu",
                             "una faccia richiede 3 vertici, questa ne ha %zu", m_corners.size()));
        // A fan from the first corner: a quadrilateral 1 2 3 4 gives
        // (1, 2, 3), (1, 3, 4).
        if (m_faces.size() + (m_corners.size() - 2) > kMaxCount)
            Fail({"too many faces", "troppe facce"});
        for (std::size_t i = 1; i + 1 < m_corners.size(); ++i)
            m_faces.push_back(CFaceIndices{{m_corners[0], m_corners[i], m_corners[i + 1]}});
    }

    // The number in the current set of the file's vertex g (0-based).
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
        if (!m_faces.empty()) {
            CTriangleArrays& mesh = m_meshes.emplace_back();
            mesh.vertices = m_pool.TakePoints();
            mesh.faces = std::move(m_faces);
        }
        m_faces.clear();
        m_pool.Reset(0);
        // A new group number makes every vertex new to the set.
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
    std::vector<CTriangleArrays> m_meshes;
};

} // namespace

std::vector<CTriangleArrays> ReadObjBytes(std::string_view bytes, const std::string& path) {
    return CObjReader(bytes, path).Read();
}

std::vector<CTriangleArrays> ReadObjFile(const std::string& path) {
    return ReadObjBytes(ReadWholeFile(path), path);
}
