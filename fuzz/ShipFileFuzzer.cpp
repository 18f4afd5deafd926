// Any bytes read as a ship file: either a model or a CFileException, never a
// crash or an allocation the file cannot back; and every face of a model
// read can be walked.
#include "FuzzInput.h"

#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "platform/CFileException.h"

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
    for (int i = 1; i <= model.HullElements().GetCount(); ++i)
        model.HullElements().GetAt(i)->Volume();
    for (int i = 1; i <= model.Compartments().GetCount(); ++i)
        model.Compartments().GetAt(i)->Volume();
    for (int i = 1; i <= model.Tanks().GetCount(); ++i)
        model.Tanks().GetAt(i)->Volume();
    return 0;
}
