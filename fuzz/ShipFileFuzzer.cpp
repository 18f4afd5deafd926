// Any bytes read as a ship file: either a model or a CFileException, never a
// crash or an allocation the file cannot back; every face of a model read
// names vertices of its own mesh, and can be walked.
#include "FuzzInput.h"

#include "model/CPolyfaceMesh.h"
#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "platform/CFileException.h"

namespace {

// A ship the reader accepts has no index that would stand in for another
// vertex: such a file is damaged and must have been refused.
void TrapOnIndexOutOfRange(const CShipElement& element) {
    for (int m = 1; m <= element.GetCount(); ++m) {
        const auto* mesh = dynamic_cast<const CPolyfaceMesh*>(element.GetAt(m));
        if (mesh == nullptr)
            continue;
        const int nv = mesh->GetVertexCount();
        for (const CFaceIndices& f : mesh->Faces())
            for (const std::int32_t k : f.v)
                if (k < 1 || k > nv)
                    __builtin_trap();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = FuzzInputPath(".nav");
    WriteFuzzInput(path, data, size);
    CShipModel model;
    try {
        LoadShipFile(model, path);
    } catch (const CFileException&) {
        return 0;
    }
    // The engine's first step on a loaded ship: every face of every element.
    for (int i = 1; i <= model.HullElements().GetCount(); ++i) {
        TrapOnIndexOutOfRange(*model.HullElements().GetAt(i));
        model.HullElements().GetAt(i)->Volume();
    }
    for (int i = 1; i <= model.Compartments().GetCount(); ++i) {
        TrapOnIndexOutOfRange(*model.Compartments().GetAt(i));
        model.Compartments().GetAt(i)->Volume();
    }
    for (int i = 1; i <= model.Tanks().GetCount(); ++i) {
        TrapOnIndexOutOfRange(*model.Tanks().GetAt(i));
        model.Tanks().GetAt(i)->Volume();
    }
    return 0;
}
