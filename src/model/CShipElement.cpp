#include "CShipElement.h"
#include "LoadNotes.h"
#include "MeshCheck.h"

#include "io/CDxfFile.h"
#include "CGridMesh.h"
#include "CPolyfaceMesh.h"
#include "ShipFileIO.h"
#include "geometry/CSectionContour.h"
#include "platform/NumberText.h"

#include <array>
#include <cstring>
#include <limits>
#include <unordered_map>
#include <vector>

void CShipElement::InvertNormals() {
    for (int i = 1; i <= GetCount(); ++i)
        GetAt(i)->InvertNormals();
}

long long CShipElement::GetFaceCount() const {
    long long faces = 0;
    for (int m = 1; m <= GetCount(); ++m)
        faces += GetAt(m)->GetFaceCount();
    return faces;
}

namespace {

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
// null when there is none.
std::unique_ptr<CPolyfaceMesh> Read3dFaces(CDxfFile& file) {
    std::vector<CVector3> vertices;
    std::vector<std::array<int, 3>> triangles;
    std::unordered_map<CCornerKey, int, CCornerHash> numbers;
    const auto number = [&](const CVector3& p) {
        // -0 + 0 is +0.
        const double xyz[3] = {p.X() + 0.0, p.Y() + 0.0, p.Z() + 0.0};
        CCornerKey key;
        std::memcpy(key.bits.data(), xyz, sizeof xyz);
        const auto [it, added] = numbers.try_emplace(key, static_cast<int>(vertices.size()) + 1);
        if (added)
            vertices.push_back(p);
        return it->second;
    };
    std::array<CVector3, 4> corners;
    while (file.FindNext3dFace()) {
        const std::uint64_t entity = file.GetPosition();
        if (!file.Read3dFace(corners))
            file.RefuseEntity("3DFACE", entity);
        if (triangles.size() + 2 > static_cast<std::size_t>(std::numeric_limits<int>::max())) {
            file.NoteFault(entity, "more faces than a mesh can hold");
            file.RefuseEntity("3DFACE", entity);
        }
        const int i1 = number(corners[0]), i2 = number(corners[1]), i3 = number(corners[2]),
                  i4 = number(corners[3]);
        // A fourth corner on the third makes a triangle; a quadrilateral is
        // split as the polyface reader splits a 4-index face record.
        triangles.push_back({i1, i2, i3});
        if (i4 != i3)
            triangles.push_back({i1, i3, i4});
    }
    if (triangles.empty())
        return nullptr;
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Allocate(static_cast<int>(vertices.size()), static_cast<int>(triangles.size()));
    for (std::size_t i = 0; i < vertices.size(); ++i)
        *mesh->GetVertex(static_cast<int>(i) + 1) = vertices[i];
    for (std::size_t i = 0; i < triangles.size(); ++i)
        mesh->SetFace(static_cast<int>(i) + 1, triangles[i][0], triangles[i][1], triangles[i][2]);
    return mesh;
}

} // namespace

void CShipElement::ImportDxf(CDxfFile& file) {
    // Read whole before the element changes: a damaged drawing leaves it
    // as it was.
    std::vector<std::unique_ptr<CMesh>> meshes;
    const std::uint64_t start = file.GetPosition();
    bool meshPolylines = false;
    while (file.FindNextPolyline()) {
        const std::uint64_t entity = file.GetPosition();
        int flags = 0, m = 0, n = 0;
        bool damaged = false;
        if (!file.ReadPolylineHeader(flags, m, n, &damaged)) {
            if (damaged)
                file.RefuseEntity("POLYLINE", entity);
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
                70, FormatC("flags %d make it both a polyface and a polygon mesh", flags));
            file.RefuseEntity("POLYLINE", entity);
        }
        std::unique_ptr<CMesh> mesh;
        const bool closedM = polygonMesh && (flags & CDxfFile::kClosedInM) != 0 && m >= 2;
        const bool closedN = polygonMesh && (flags & CDxfFile::kClosedInN) != 0 && n >= 2;
        if (polygonMesh) {
            if (m < 1 || n < 1) {
                file.NoteGroupFault(m < 1 ? 71 : 72,
                                    FormatC("a grid of %d x %d vertices: M (group 71) and N "
                                            "(group 72) must be 1 or more",
                                            m, n));
                file.RefuseEntity("POLYLINE", entity);
            }
            const std::int64_t vertices = std::int64_t{m} * n;
            const std::int64_t closed =
                (std::int64_t{m} + (closedM ? 1 : 0)) * (n + (closedN ? 1 : 0));
            if (!file.CanHoldVertexRecords(vertices) ||
                closed > std::numeric_limits<std::int32_t>::max()) {
                file.NoteGroupFault(
                    71,
                    FormatC("a grid of %d x %d vertices does not fit in the rest of the drawing", m,
                            n));
                file.RefuseEntity("POLYLINE", entity);
            }
            auto grid = std::make_unique<CGridMesh>();
            grid->Resize(m, n);
            mesh = std::move(grid);
        } else {
            mesh = std::make_unique<CPolyfaceMesh>();
        }
        meshPolylines = true;
        if (!mesh->ImportDxf(file))
            file.RefuseEntity("POLYLINE", entity);
        if (closedM || closedN)
            static_cast<CGridMesh&>(*mesh).Close(closedM, closedN);
        // A mesh without faces (a grid of one row, a polyface without face
        // records) has nothing to add to the element.
        if (mesh->GetFaceCount() > 0)
            meshes.push_back(std::move(mesh));
    }
    if (!meshPolylines) {
        file.Seek(static_cast<std::int64_t>(start), CFile::begin);
        if (auto faces = Read3dFaces(file))
            meshes.push_back(std::move(faces));
    }
    // Meshes read from a drawing cut short would be taken for all of it.
    file.RequireWholeEntities();
    RemoveAll();
    for (auto& mesh : meshes)
        Append(std::move(mesh));
}

bool CShipElement::Extents(CVector3& min, CVector3& max) const {
    bool any = false;
    for (int m = 1; m <= GetCount(); ++m) {
        CVector3 lo, hi;
        if (!GetAt(m)->Extents(lo, hi))
            continue;
        if (any) {
            WidenBox(min, max, lo, hi);
        } else {
            min = lo;
            max = hi;
        }
        any = true;
    }
    return any;
}

bool CShipElement::AddSections(double x, CSectionContour& contour) const {
    const int before = contour.GetCount();
    for (int m = 1; m <= GetCount(); ++m)
        GetAt(m)->AddSections(x, contour);
    return contour.GetCount() > before;
}

void CShipElement::Load(CFile& file) {
    using namespace shipfile;
    RemoveAll();
    m_enabled = ReadFlag(file, "the enabled flag of an element");
    m_colour = ReadU32(file, "the colour of an element");
    const std::int32_t length = ReadI32(file, "the name length of an element");
    m_name.clear();
    if (length > 0) {
        Require(file, static_cast<std::uint64_t>(length), "the name of an element");
        m_name.resize(static_cast<std::size_t>(length));
        ReadExact(file, m_name.data(), m_name.size(), "the name of an element");
    }
    if (length < 0)
        loadnotes::Note(
            FormatC("an element's name length is negative (%d): read as empty", length));
    const std::uint64_t countAt = file.GetPosition();
    const std::int32_t meshes = ReadI32(file, "the mesh count of an element");
    if (meshes < 0)
        loadnotes::Note(FormatC("element '%s': its mesh count at byte %llu is negative (%d): "
                                "read as none",
                                m_name.c_str(), static_cast<unsigned long long>(countAt), meshes));
    for (std::int32_t j = 1; j <= meshes; ++j) {
        const std::uint64_t at = file.GetPosition();
        const std::int32_t type = ReadI32(file, "the type of a mesh");
        std::unique_ptr<CMesh> mesh;
        if (type == CMesh::typePolyface)
            mesh = std::make_unique<CPolyfaceMesh>();
        else if (type == CMesh::typeGrid)
            mesh = std::make_unique<CGridMesh>();
        else {
            // An unknown tag ends this element's meshes.
            loadnotes::Note(FormatC("element '%s': unknown mesh tag %d at byte %llu: its meshes "
                                    "from number %d of %d on were dropped, and what follows is "
                                    "read from there",
                                    m_name.c_str(), type, static_cast<unsigned long long>(at), j,
                                    meshes));
            break;
        }
        Append(std::move(mesh))->Load(file);
        if (const std::string problem = MeshNumberProblem(*GetAt(GetCount())); !problem.empty())
            Damaged(file, at,
                    "element '" + EscapeText(m_name) + FormatC("', mesh %d: ", j) + problem);
    }
}

void CShipElement::Store(CFile& file) const {
    using namespace shipfile;
    WriteFlag(file, m_enabled);
    WriteU32(file, m_colour);
    WriteI32(file, static_cast<std::int32_t>(m_name.size()));
    file.Write(m_name.data(), m_name.size());
    WriteI32(file, GetCount());
    for (int j = 1; j <= GetCount(); ++j) {
        const CMesh* mesh = GetAt(j);
        WriteI32(file, mesh->GetType());
        mesh->Store(file);
    }
}
