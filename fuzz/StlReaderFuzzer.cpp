// Any bytes read as an STL file: either a mesh or a CFileException, never a
// crash or an allocation the bytes cannot back; every triangle of a mesh
// read names one of its vertices, all finite, and the kind of the bytes can
// be told.
#include "model/MeshFiles.h"
#include "platform/CFileException.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DetectMeshKind(bytes, size, "fuzz.stl");
    std::unique_ptr<CPolyfaceMesh> mesh;
    try {
        mesh = ReadStlBytes(bytes, "fuzz.stl");
    } catch (const CFileException&) {
        return 0;
    }
    const int nv = mesh->GetVertexCount();
    for (const CVector3& v : mesh->Vertices())
        if (!std::isfinite(v.X()) || !std::isfinite(v.Y()) || !std::isfinite(v.Z()))
            std::abort();
    for (const CFaceIndices& f : mesh->Faces())
        for (int k = 0; k < 3; ++k)
            if (f.v[k] < 1 || f.v[k] > nv)
                std::abort();
    return 0;
}
