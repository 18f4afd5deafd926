#include "CShipElement.h"

#include "CDxfFile.h"
#include "CGridMesh.h"
#include "CPolyfaceMesh.h"
#include "ShipFileIO.h"

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

void CShipElement::ImportDxf(CDxfFile& file) {
    RemoveAll();
    while (file.FindNextPolyline()) {
        int flags = 0, m = 0, n = 0;
        if (!file.ReadPolylineHeader(flags, m, n))
            continue;
        std::unique_ptr<CMesh> mesh;
        if (flags == CDxfFile::kPolygonMesh) {
            // Resize ignores a negative count, and then so does the import.
            const std::int64_t vertices = (m > 0 && n > 0) ? std::int64_t{m} * n : 0;
            if (!file.CanHoldVertexRecords(vertices))
                continue;
            auto grid = std::make_unique<CGridMesh>();
            grid->Resize(m, n);
            mesh = std::move(grid);
        } else if (flags == CDxfFile::kPolyfaceMesh) {
            mesh = std::make_unique<CPolyfaceMesh>();
        } else {
            continue;
        }
        if (mesh->ImportDxf(file))
            Append(std::move(mesh));
    }
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
    const std::int32_t meshes = ReadI32(file, "the mesh count of an element");
    for (std::int32_t j = 1; j <= meshes; ++j) {
        const std::int32_t type = ReadI32(file, "the type of a mesh");
        std::unique_ptr<CMesh> mesh;
        if (type == CMesh::typePolyface)
            mesh = std::make_unique<CPolyfaceMesh>();
        else if (type == CMesh::typeGrid)
            mesh = std::make_unique<CGridMesh>();
        else
            break; // an unknown tag ends this element's meshes
        Append(std::move(mesh))->Load(file);
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
