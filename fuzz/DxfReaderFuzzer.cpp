// Any bytes read as a drawing, along both paths of the element tree: from the
// ENTITIES section (hull elements) and from the start (compartments, tanks).
// Every face of every mesh read is then visited, as the engine would.
#include "FuzzInput.h"

#include "model/CDxfFile.h"
#include "model/CShipElement.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string& path = FuzzInputPath(".dxf");
    WriteFuzzInput(path, data, size);
    CDxfFile file(path, CFile::modeRead);
    CPointList face;
    for (bool hull : {true, false}) {
        file.SeekToBegin();
        if (hull)
            file.FindEntities();
        CShipElement element;
        element.ImportDxf(file);
        for (int m = 1; m <= element.GetCount(); ++m)
            for (int i = 1; i <= element.GetAt(m)->GetFaceCount(); ++i)
                element.GetAt(m)->GetFace(i, face);
    }
    return 0;
}
