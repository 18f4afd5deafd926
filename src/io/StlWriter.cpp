#include "StlWriter.h"

#include "platform/CFile.h"
#include "platform/CFileException.h"
#include "platform/NumberText.h"

#include <bit>
#include <cfloat>
#include <cmath>
#include <cstdint>

static_assert(std::endian::native == std::endian::little,
              "binary STL is little-endian and is written as in memory");

namespace {

constexpr std::size_t kStlHeaderSize = 80;
constexpr std::size_t kStlTriangleSize = 50;
// The file is handed blocks of about this size.
constexpr std::size_t kWriteBlock = 64 * 1024;

// Calls fn(p, n) for every face of every list, in order, with its corners
// copied.
template <class Fn> void ForEachFace(const std::vector<CFaceList>& meshes, Fn&& fn) {
    std::vector<CVector3> p;
    for (const CFaceList& mesh : meshes)
        for (int f = 0; f < mesh.FaceCount(); ++f) {
            mesh.FacePoints(f, p);
            fn(p.data(), static_cast<int>(p.size()));
        }
}

} // namespace

void WriteStl(const std::string& title, const std::string& name,
              const std::vector<CFaceList>& meshes, CFile& file) {
    unsigned long long triangles = 0;
    ForEachFace(meshes, [&](const CVector3*, int n) { triangles += n - 2; });
    if (triangles > UINT32_MAX)
        file.Fail(CFileException::generic,
                  BRELUND_SAY("%llu triangles are more than an STL file can count",
                              "%llu triangoli sono più di quanti un file STL possa contarne",
                              triangles));

    std::string out;
    out.reserve(kWriteBlock + kStlTriangleSize);
    out.append(title + " " + name, 0, kStlHeaderSize);
    out.resize(kStlHeaderSize, '\0');
    const auto count = static_cast<std::uint32_t>(triangles);
    out.append(reinterpret_cast<const char*>(&count), sizeof count);

    auto put = [&](const CVector3& v) {
        float f[3];
        for (int k = 0; k < 3; ++k) {
            const double c = *v.Element(k + 1);
            if (!(std::fabs(c) <= FLT_MAX))
                file.Fail(CFileException::generic,
                          BRELUND_SAY("the coordinate %g does not fit in an STL file",
                                      "la coordinata %g non è rappresentabile in un file STL", c));
            f[k] = static_cast<float>(c);
        }
        out.append(reinterpret_cast<const char*>(f), sizeof f);
    };
    ForEachFace(meshes, [&](const CVector3* p, int n) {
        for (int k = 1; k + 1 < n; ++k) {
            CVector3 u = p[k], w = p[k + 1], normal;
            u.Subtract(p[0]);
            w.Subtract(p[0]);
            normal.Cross(u, w);
            normal.Normalize();
            if (!std::isfinite(normal.X()) || !std::isfinite(normal.Y()) ||
                !std::isfinite(normal.Z()))
                normal.Zero();
            put(normal);
            put(p[0]);
            put(p[k]);
            put(p[k + 1]);
            out.append(2, '\0'); // attribute byte count
            if (out.size() >= kWriteBlock) {
                file.Write(out.data(), out.size());
                out.clear();
            }
        }
    });
    file.Write(out.data(), out.size());
}
