// Any bytes read as a drawing, along both paths of the element tree: from the
// ENTITIES section (hull elements) and from the start (compartments, tanks).
// Each read gives meshes or refuses the drawing as damaged, naming the
// entity (or the ENTITIES section of a drawing cut short); never a crash, a
// hang or an allocation the file cannot back. Meshes read hold finite points
// only and at least one face, polyface corners among their vertices and
// grids their M x N points; every face is then visited, as the engine would.
#include "FuzzInput.h"

#include "io/CDxfFile.h"
#include "model/CGridMesh.h"
#include "model/CPolyfaceMesh.h"
#include "model/CShipElement.h"
#include "platform/CFileException.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckMesh(CMesh& mesh) {
    const int first = mesh.GetType() == CMesh::typeGrid ? 0 : 1;
    for (int i = first; i < first + mesh.GetVertexCount(); ++i) {
        const CVector3* v = mesh.GetVertex(i);
        Require(v != nullptr && std::isfinite(v->X()) && std::isfinite(v->Y()) &&
                std::isfinite(v->Z()));
    }
    if (const auto* polyface = dynamic_cast<const CPolyfaceMesh*>(&mesh)) {
        for (const CFaceIndices& f : polyface->Faces())
            for (int k : f.v)
                Require(k >= 1 && k <= polyface->GetVertexCount());
    }
    if (const auto* grid = dynamic_cast<const CGridMesh*>(&mesh))
        Require(grid->GetRows() >= 1 && grid->GetCols() >= 1 &&
                grid->GetVertexCount() == grid->GetRows() * grid->GetCols());
    // A mesh without faces is not kept.
    Require(mesh.GetFaceCount() > 0);
    CPointList face;
    for (int i = 1; i <= mesh.GetFaceCount(); ++i)
        mesh.GetFace(i, face);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = FuzzInputPath(".dxf");
    WriteFuzzInput(path, data, size);
    CDxfFile file(path, CFile::modeRead);
    for (bool hull : {true, false}) {
        file.SeekToBegin();
        if (hull)
            file.FindEntities();
        CShipElement element;
        try {
            element.ImportDxf(file);
        } catch (const CFileException& e) {
            const std::string_view detail = e.m_detail;
            Require(e.m_cause == CFileException::damaged && e.m_file_name == path);
            Require(detail.rfind("POLYLINE starting at line ", 0) == 0 ||
                    detail.rfind("3DFACE starting at line ", 0) == 0 ||
                    detail.rfind("ENTITIES section starting at line ", 0) == 0 ||
                    detail.rfind("the drawing ends at line ", 0) == 0);
            continue;
        }
        for (int m = 1; m <= element.GetCount(); ++m)
            CheckMesh(*element.GetAt(m));
    }
    return 0;
}
