#include "CShipElement.h"
#include "LoadNotes.h"
#include "MeshCheck.h"

#include "CGridMesh.h"
#include "CPolyfaceMesh.h"
#include "ShipFileIO.h"
#include "geometry/CSectionContour.h"
#include "io/DxfMeshReader.h"
#include "platform/NumberText.h"

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

void CShipElement::ImportDxf(CDxfFile& file) {
    // Read whole before the element changes: a damaged drawing leaves it
    // as it was.
    std::vector<CDxfMesh> meshes = ReadDxfMeshes(file);
    RemoveAll();
    for (CDxfMesh& read : meshes) {
        if (read.grid) {
            auto grid = std::make_unique<CGridMesh>();
            grid->Assign(read.rows, read.cols, std::move(read.vertices));
            Append(std::move(grid));
        } else {
            auto polyface = std::make_unique<CPolyfaceMesh>();
            polyface->Assign(std::move(read.vertices), std::move(read.faces));
            Append(std::move(polyface));
        }
    }
}

bool CShipElement::Extents(CVector3& min, CVector3& max) const {
    return ExtentsOf(*this, min, max);
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
    m_enabled = ReadFlag(
        file, {"the enabled flag of an element", "l'indicatore di abilitazione di un elemento"});
    m_colour = ReadU32(file, {"the colour of an element", "il colore di un elemento"});
    const std::int32_t length =
        ReadI32(file, {"the name length of an element", "la lunghezza del nome di un elemento"});
    m_name.clear();
    if (length > 0) {
        Require(file, static_cast<std::uint64_t>(length),
                {"the name of an element", "il nome di un elemento"});
        m_name.resize(static_cast<std::size_t>(length));
        ReadExact(file, m_name.data(), m_name.size(),
                  {"the name of an element", "il nome di un elemento"});
    }
    if (length < 0)
        loadnotes::Note(BRELUND_SAY("an element's name length is negative (%d): read as empty",
                                    "la lunghezza del nome di un elemento è negativa (%d): letto "
                                    "come vuoto",
                                    length));
    const std::uint64_t countAt = file.GetPosition();
    const std::int32_t meshes =
        ReadI32(file, {"the mesh count of an element", "il numero di mesh di un elemento"});
    if (meshes < 0)
        loadnotes::Note(BRELUND_SAY("element '%s': its mesh count at byte %llu is negative (%d): "
                                    "read as none",
                                    "elemento '%s': il numero di mesh al byte %llu è negativo "
                                    "(%d): letto come nessuna",
                                    m_name.c_str(), static_cast<unsigned long long>(countAt),
                                    meshes));
    for (std::int32_t j = 1; j <= meshes; ++j) {
        const std::uint64_t at = file.GetPosition();
        const std::int32_t type = ReadI32(file, {"the type of a mesh", "il tipo di una mesh"});
        std::unique_ptr<CMesh> mesh;
        if (type == CMesh::typePolyface)
            mesh = std::make_unique<CPolyfaceMesh>();
        else if (type == CMesh::typeGrid)
            mesh = std::make_unique<CGridMesh>();
        else {
            // An unknown tag ends this element's meshes.
            loadnotes::Note(BRELUND_SAY("element '%s': unknown mesh tag %d at byte %llu: its "
                                        "meshes from number %d of %d on were dropped, and what "
                                        "follows is read from there",
                                        "elemento '%s': tipo di mesh %d sconosciuto al byte %llu: "
                                        "le sue mesh dalla numero %d di %d in poi sono state "
                                        "scartate, e quanto segue è letto da lì",
                                        m_name.c_str(), type, static_cast<unsigned long long>(at),
                                        j, meshes));
            break;
        }
        Append(std::move(mesh))->Load(file);
        if (const CMessage problem = MeshNumberProblem(*GetAt(GetCount()));
            !problem.english.empty())
            Damaged(file, at,
                    BRELUND_SAY("element '%s', mesh %d: ", "elemento '%s', mesh %d: ",
                                EscapeText(m_name).c_str(), j) +
                        problem);
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
