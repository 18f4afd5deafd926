// Any bytes read as an OBJ file: either meshes or a CFileException, never a
// crash; every set read has faces, each naming one of the set's vertices,
// all finite, and no vertex that no face uses.
#include "io/MeshFileKind.h"
#include "io/ObjReader.h"
#include "platform/CFileException.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    DetectMeshKind(bytes, size, "fuzz.obj");
    std::vector<CTriangleArrays> meshes;
    try {
        meshes = ReadObjBytes(bytes, "fuzz.obj");
    } catch (const CFileException&) {
        return 0;
    }
    std::vector<bool> used;
    for (const auto& mesh : meshes) {
        const auto nv = static_cast<std::int64_t>(mesh.vertices.size());
        if (mesh.faces.empty())
            std::abort();
        for (const CVector3& v : mesh.vertices)
            if (!std::isfinite(v.X()) || !std::isfinite(v.Y()) || !std::isfinite(v.Z()))
                std::abort();
        used.assign(static_cast<std::size_t>(nv), false);
        for (const CFaceIndices& f : mesh.faces)
            for (int k = 0; k < 3; ++k) {
                if (f.v[k] < 1 || f.v[k] > nv)
                    std::abort();
                used[static_cast<std::size_t>(f.v[k] - 1)] = true;
            }
        for (bool u : used)
            if (!u)
                std::abort();
    }
    return 0;
}
