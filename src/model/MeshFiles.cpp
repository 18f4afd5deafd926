#include "MeshFiles.h"

#include "CShipElement.h"
#include "io/ObjWriter.h"
#include "io/StlWriter.h"

namespace {

constexpr const char* kTitle = "Brelund element";

// The element's meshes, each as a list of its own.
std::vector<CFaceList> FaceLists(const CShipElement& element) {
    std::vector<CFaceList> lists(static_cast<std::size_t>(element.GetCount()));
    for (int m = 1; m <= element.GetCount(); ++m)
        element.GetAt(m)->AppendFaces(lists[static_cast<std::size_t>(m - 1)]);
    return lists;
}

} // namespace

std::unique_ptr<CPolyfaceMesh> MakePolyfaceMesh(CTriangleArrays arrays) {
    auto mesh = std::make_unique<CPolyfaceMesh>();
    mesh->Assign(std::move(arrays.vertices), std::move(arrays.faces));
    return mesh;
}

void WriteStl(const CShipElement& element, CFile& file) {
    WriteStl(kTitle, element.GetName(), FaceLists(element), file);
}

void WriteObj(const CShipElement& element, CFile& file) {
    WriteObj(kTitle, element.GetName(), FaceLists(element), file);
}
