// Any bytes read as an STL file: either triangles or a CFileException, never
// a crash or an allocation the bytes cannot back; every triangle read names
// one of the vertices, all finite, and the kind of the bytes can be told.
#include "io/MeshFileKind.h"
#include "io/StlReader.h"
#include "platform/CFileException.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DetectMeshKind(bytes, size, "fuzz.stl");
    CTriangleArrays mesh;
    try {
        mesh = ReadStlBytes(bytes, "fuzz.stl");
    } catch (const CFileException&) {
        return 0;
    }
    const auto nv = static_cast<std::int64_t>(mesh.vertices.size());
    for (const CVector3& v : mesh.vertices)
        if (!std::isfinite(v.X()) || !std::isfinite(v.Y()) || !std::isfinite(v.Z()))
            std::abort();
    for (const CFaceIndices& f : mesh.faces)
        for (int k = 0; k < 3; ++k)
            if (f.v[k] < 1 || f.v[k] > nv)
                std::abort();
    return 0;
}
