// Any bytes read as a drawing, along both paths of the element tree: from the
// ENTITIES section (hull elements) and from the start (compartments, tanks).
// Each read gives meshes or refuses the drawing as damaged, naming the
// entity (or the ENTITIES section of a drawing cut short); never a crash, a
// hang or an allocation the file cannot back. Meshes read hold finite points
// only and at least one face, polyface corners among their vertices and
// grids their M x N points.
#include "FuzzInput.h"

#include "io/CDxfFile.h"
#include "io/DxfMeshReader.h"
#include "platform/CFileException.h"

#include <cmath>
#include <cstdlib>
#include <string_view>

namespace {

void Require(bool condition) {
    if (!condition)
        std::abort();
}

void CheckMesh(const CDxfMesh& mesh) {
    for (const CVector3& v : mesh.vertices)
        Require(std::isfinite(v.X()) && std::isfinite(v.Y()) && std::isfinite(v.Z()));
    const auto nv = static_cast<std::int64_t>(mesh.vertices.size());
    // A mesh without faces is not kept.
    if (mesh.grid) {
        Require(mesh.rows >= 2 && mesh.cols >= 2 &&
                nv == std::int64_t{mesh.rows} * std::int64_t{mesh.cols} && mesh.faces.empty());
        return;
    }
    Require(!mesh.faces.empty());
    for (const CFaceIndices& f : mesh.faces)
        for (int k : f.v)
            Require(k >= 1 && k <= nv);
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
        std::vector<CDxfMesh> meshes;
        try {
            meshes = ReadDxfMeshes(file);
        } catch (const CFileException& e) {
            const std::string_view detail = e.m_detail;
            Require(e.m_cause == CFileException::damaged && e.m_file_name == path);
            Require(detail.rfind("POLYLINE starting at line ", 0) == 0 ||
                    detail.rfind("3DFACE starting at line ", 0) == 0 ||
                    detail.rfind("ENTITIES section starting at line ", 0) == 0 ||
                    detail.rfind("the drawing ends at line ", 0) == 0);
            continue;
        }
        for (const CDxfMesh& mesh : meshes)
            CheckMesh(mesh);
    }
    return 0;
}
