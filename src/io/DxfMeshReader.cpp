#include "DxfMeshReader.h"

#include "CDxfFile.h"
#include "platform/NumberText.h"

#include <array>
#include <climits>
#include <cstring>
#include <limits>
#include <unordered_map>

namespace {

// A corner index as a face takes it: a negative index is the corner of an
// edge drawn invisible and stands for its absolute value.
std::int32_t CornerIndex(std::int32_t index) {
    return index < 0 && index != INT32_MIN ? -index : index;
}

// What the one-pass reading of a polyface sequence came to.
enum class COnePass { read, readAgain };

// The polyface sequence at the file's position read in one pass over its
// records, kept as read, for the sequences of a sound drawing: the vertex
// and face records counted by their flags, the first nv records taken as
// vertices and the rest as faces, as ReadPolyface below does in two passes.
// readAgain, with the file where it was, when the sequence is anything else
// (damaged, a face index outside the vertices, face records that do not
// make up the faces counted): ReadPolyface then reads it the slow way,
// which notes the fault where there is one.
COnePass ReadPolyfaceOnce(CDxfFile& file, CDxfMesh& mesh) {
    const std::uint64_t begin = file.GetPosition();
    constexpr std::int64_t kMax = std::numeric_limits<int>::max();
    std::vector<CVector3> points;
    std::vector<std::array<std::int32_t, 4>> corners;
    std::int64_t nv = 0, nf = 0;
    std::uint64_t at = begin, end = begin;
    CDxfVertex record;
    bool damaged = false;
    while (file.ReadVertexAt(at, record, &damaged)) {
        end = at;
        switch (record.m_flags70) {
        case 192:
        case 64:
        case 32:
        case 0:
            ++nv;
            break;
        case 128:
            nf += record.m_index74 != 0 ? 2 : 1;
            break;
        default:
            break;
        }
        if (nv > kMax || nf > kMax)
            return COnePass::readAgain;
        points.push_back(record);
        corners.push_back({CornerIndex(record.m_index71), CornerIndex(record.m_index72),
                           CornerIndex(record.m_index73), CornerIndex(record.m_index74)});
    }
    if (damaged)
        return COnePass::readAgain;
    if (nv == 0 || nf == 0) {
        file.Seek(static_cast<std::int64_t>(begin), CFile::begin);
        return COnePass::read;
    }
    const std::size_t records = points.size();
    const auto inside = [nv](std::int32_t c) { return c >= 1 && c <= nv; };
    std::vector<CFaceIndices> faces(static_cast<std::size_t>(nf));
    std::size_t r = static_cast<std::size_t>(nv);
    for (std::size_t i = 0; i < faces.size(); ++i, ++r) {
        if (r >= records)
            return COnePass::readAgain;
        const auto& c = corners[r];
        if (!inside(c[0]) || !inside(c[1]) || !inside(c[2]) || (c[3] != 0 && !inside(c[3])))
            return COnePass::readAgain;
        faces[i] = CFaceIndices{{c[0], c[1], c[2]}};
        if (c[3] != 0 && ++i < faces.size())
            faces[i] = CFaceIndices{{c[0], c[2], c[3]}};
    }
    if (r != records)
        return COnePass::readAgain;
    points.resize(static_cast<std::size_t>(nv));
    mesh.vertices = std::move(points);
    mesh.faces = std::move(faces);
    file.Seek(static_cast<std::int64_t>(end), CFile::begin);
    return COnePass::read;
}

// Counts the records first, then takes the first nv records as vertices and
// the rest as faces, a quadrilateral face as two triangles. Empty when the
// sequence holds no vertex or no face; false (damaged, the fault noted) when
// a face index lies outside 1..nv. A negative index marks an invisible edge
// and stands for its absolute value; a fourth index of 0 makes a triangle.
bool ReadPolyface(CDxfFile& file, CDxfMesh& mesh) {
    if (ReadPolyfaceOnce(file, mesh) == COnePass::read)
        return true;
    int nv = 0, nf = 0;
    if (!file.CountPolyfaceRecords(nv, nf))
        return false;
    if (nv == 0 || nf == 0)
        return true;
    mesh.vertices.assign(static_cast<std::size_t>(nv), CVector3());
    mesh.faces.assign(static_cast<std::size_t>(nf), CFaceIndices{{0, 0, 0}});
    // Records are taken in file order whatever their flags; a record the
    // sequence does not have leaves the scratch record as it was.
    std::uint64_t at = file.GetPosition();
    CDxfVertex record;
    bool damaged = false;
    for (int i = 1; i <= nv; ++i) {
        file.ReadVertexAt(at, record, &damaged);
        if (damaged)
            break;
        mesh.vertices[static_cast<std::size_t>(i - 1)] = record;
    }
    // A corner must be one of the vertices; a negative index is the corner
    // of an edge drawn invisible, and a fourth corner of 0 makes the record
    // a triangle.
    const auto corner = [&](int code, std::int32_t index, std::int32_t& out) {
        out = index < 0 && index != INT32_MIN ? -index : index;
        if (out >= 1 && out <= nv)
            return true;
        file.NoteGroupFault(code, BRELUND_SAY("face index %d outside 1..%d",
                                              "indice di faccia %d fuori da 1..%d", index, nv));
        return false;
    };
    const auto setFace = [&](int i, std::int32_t a, std::int32_t b, std::int32_t c) {
        if (i >= 1 && i <= nf)
            mesh.faces[static_cast<std::size_t>(i - 1)] = CFaceIndices{{a, b, c}};
    };
    for (int i = 1; i <= nf && !damaged; ++i) {
        file.ReadVertexAt(at, record, &damaged);
        if (damaged)
            break;
        std::int32_t c1, c2, c3, c4 = 0;
        if (!corner(71, record.m_index71, c1) || !corner(72, record.m_index72, c2) ||
            !corner(73, record.m_index73, c3) ||
            (record.m_index74 != 0 && !corner(74, record.m_index74, c4))) {
            damaged = true;
            break;
        }
        setFace(i, c1, c2, c3);
        // A quadrilateral p1 p2 p3 p4 becomes (p1, p2, p3) and (p1, p3, p4).
        if (c4 != 0) {
            ++i;
            setFace(i, c1, c3, c4);
        }
    }
    file.Seek(static_cast<std::int64_t>(at), CFile::begin);
    return !damaged;
}

// Fills the grid, sized by the caller, row by row from the records that
// follow; records beyond M x N are passed over. False (damaged, the fault
// noted) when the sequence ends before the grid is full.
bool ReadGrid(CDxfFile& file, CDxfMesh& mesh) {
    CDxfVertex record;
    bool damaged = false;
    std::uint64_t at = file.GetPosition();
    const int count = static_cast<int>(mesh.vertices.size());
    int k = 0;
    for (; k < count; ++k) {
        if (!file.ReadVertexAt(at, record, &damaged))
            break;
        mesh.vertices[static_cast<std::size_t>(k)] = record;
    }
    file.Seek(static_cast<std::int64_t>(at), CFile::begin);
    if (k < count && !damaged) {
        // The sequence ended early: at is the LF before its last keyword.
        file.NoteFault(at + 1, BRELUND_SAY("%d vertex records for a grid of %d x %d",
                                           "%d record di vertice per una griglia di %d x %d", k,
                                           mesh.rows, mesh.cols));
    }
    return k == count;
}

// Repeats row 0 after the last row (closedM) and column 0 after the last
// column (closedN): the faces are then those of a grid closed in M or N,
// whose last row or column is joined to the first.
void CloseGrid(CDxfMesh& mesh, bool closedM, bool closedN) {
    const int rows = mesh.rows, cols = mesh.cols;
    if (rows <= 0 || cols <= 0 || (!closedM && !closedN))
        return;
    const std::vector<CVector3> open = std::move(mesh.vertices);
    mesh.rows = rows + (closedM ? 1 : 0);
    mesh.cols = cols + (closedN ? 1 : 0);
    mesh.vertices.assign(static_cast<std::size_t>(mesh.rows) * static_cast<std::size_t>(mesh.cols),
                         CVector3());
    for (int r = 0; r < mesh.rows; ++r)
        for (int j = 0; j < mesh.cols; ++j)
            mesh.vertices[static_cast<std::size_t>(r) * static_cast<std::size_t>(mesh.cols) +
                          static_cast<std::size_t>(j)] =
                open[static_cast<std::size_t>(r % rows) * static_cast<std::size_t>(cols) +
                     static_cast<std::size_t>(j % cols)];
}

bool HasFaces(const CDxfMesh& mesh) {
    return mesh.grid ? mesh.rows >= 2 && mesh.cols >= 2 : !mesh.faces.empty();
}

// Corners with equal coordinates are one vertex; -0 and 0 are equal.
struct CCornerKey {
    std::array<std::uint64_t, 3> bits;
    bool operator==(const CCornerKey& other) const { return bits == other.bits; }
};

struct CCornerHash {
    std::size_t operator()(const CCornerKey& key) const {
        std::uint64_t h = 0x9E3779B97F4A7C15ull;
        for (std::uint64_t b : key.bits)
            h = (h ^ b) * 0x100000001B3ull;
        return static_cast<std::size_t>(h ^ (h >> 29));
    }
};

// The 3DFACE entities from the file's position on, as one polyface mesh;
// false when there is none.
bool Read3dFaces(CDxfFile& file, CDxfMesh& mesh) {
    std::unordered_map<CCornerKey, int, CCornerHash> numbers;
    const auto number = [&](const CVector3& p) {
        // -0 + 0 is +0.
        const double xyz[3] = {p.X() + 0.0, p.Y() + 0.0, p.Z() + 0.0};
        CCornerKey key;
        std::memcpy(key.bits.data(), xyz, sizeof xyz);
        const auto [it, added] =
            numbers.try_emplace(key, static_cast<int>(mesh.vertices.size()) + 1);
        if (added)
            mesh.vertices.push_back(p);
        return it->second;
    };
    std::array<CVector3, 4> corners;
    while (file.FindNext3dFace()) {
        const std::uint64_t entity = file.GetPosition();
        if (!file.Read3dFace(corners))
            file.RefuseEntity(Verbatim("3DFACE"), entity);
        if (mesh.faces.size() + 2 > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            file.NoteFault(entity, {"more faces than a mesh can hold",
                                    "più facce di quante una mesh ne possa contenere"});
            file.RefuseEntity(Verbatim("3DFACE"), entity);
        }
        const int i1 = number(corners[0]), i2 = number(corners[1]), i3 = number(corners[2]),
                  i4 = number(corners[3]);
        // A fourth corner on the third makes a triangle; a quadrilateral is
        // split as the polyface reader splits a 4-index face record.
        mesh.faces.push_back(CFaceIndices{{i1, i2, i3}});
        if (i4 != i3)
            mesh.faces.push_back(CFaceIndices{{i1, i3, i4}});
    }
    return !mesh.faces.empty();
}

} // namespace

std::vector<CDxfMesh> ReadDxfMeshes(CDxfFile& file) {
    std::vector<CDxfMesh> meshes;
    const std::uint64_t start = file.GetPosition();
    bool meshPolylines = false;
    while (file.FindNextPolyline()) {
        const std::uint64_t entity = file.GetPosition();
        int flags = 0, m = 0, n = 0;
        bool damaged = false;
        if (!file.ReadPolylineHeader(flags, m, n, &damaged)) {
            if (damaged)
                file.RefuseEntity(Verbatim("POLYLINE"), entity);
            continue;
        }
        // The kind is in bits 16 and 64; the others (closed, curve- or
        // spline-fit, 3D, linetype) leave it as it is.
        const bool polyface = (flags & CDxfFile::kPolyfaceMesh) != 0;
        const bool polygonMesh = (flags & CDxfFile::kPolygonMesh) != 0;
        if (!polyface && !polygonMesh)
            continue;
        if (polyface && polygonMesh) {
            file.NoteGroupFault(
                70,
                BRELUND_SAY("flags %d make it both a polyface and a polygon mesh",
                            "gli indicatori %d la rendono sia polyface sia polygon mesh", flags));
            file.RefuseEntity(Verbatim("POLYLINE"), entity);
        }
        CDxfMesh mesh;
        const bool closedM = polygonMesh && (flags & CDxfFile::kClosedInM) != 0 && m >= 2;
        const bool closedN = polygonMesh && (flags & CDxfFile::kClosedInN) != 0 && n >= 2;
        if (polygonMesh) {
            if (m < 1 || n < 1) {
                file.NoteGroupFault(m < 1 ? 71 : 72,
                                    BRELUND_SAY("a grid of %d x %d vertices: M (group 71) and "
                                                "N (group 72) must be 1 or more",
                                                "una griglia di %d x %d vertici: M (gruppo 71) e "
                                                "N (gruppo 72) devono essere almeno 1",
                                                m, n));
                file.RefuseEntity(Verbatim("POLYLINE"), entity);
            }
            const std::int64_t vertices = std::int64_t{m} * n;
            const std::int64_t closed =
                (std::int64_t{m} + (closedM ? 1 : 0)) * (std::int64_t{n} + (closedN ? 1 : 0));
            if (!file.CanHoldVertexRecords(vertices) ||
                closed > std::numeric_limits<std::int32_t>::max()) {
                file.NoteGroupFault(
                    71, BRELUND_SAY("a grid of %d x %d vertices does not fit in the rest of the "
                                    "drawing",
                                    "una griglia di %d x %d vertici non sta nel resto del disegno",
                                    m, n));
                file.RefuseEntity(Verbatim("POLYLINE"), entity);
            }
            mesh.grid = true;
            mesh.rows = m;
            mesh.cols = n;
            mesh.vertices.assign(static_cast<std::size_t>(vertices), CVector3());
        }
        meshPolylines = true;
        if (!(polygonMesh ? ReadGrid(file, mesh) : ReadPolyface(file, mesh)))
            file.RefuseEntity(Verbatim("POLYLINE"), entity);
        CloseGrid(mesh, closedM, closedN);
        // A mesh without faces (a grid of one row, a polyface without face
        // records) has nothing to add.
        if (HasFaces(mesh))
            meshes.push_back(std::move(mesh));
    }
    if (!meshPolylines) {
        file.Seek(static_cast<std::int64_t>(start), CFile::begin);
        CDxfMesh faces;
        if (Read3dFaces(file, faces))
            meshes.push_back(std::move(faces));
    }
    // Meshes read from a drawing cut short would be taken for all of it.
    file.RequireWholeEntities();
    return meshes;
}
