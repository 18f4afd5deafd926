#include "ShipFile.h"

#include "CShipModel.h"
#include "platform/AtomicFile.h"
#include "platform/CFile.h"

void LoadShipFile(CShipModel& model, const std::string& path) {
    try {
        CFile file(path, CFile::modeRead);
        model.Load(file);
    } catch (...) {
        model.Clear();
        throw;
    }
}

void StoreShipFile(const CShipModel& model, const std::string& path) {
    WriteFileAtomically(path, [&](CFile& file) { model.Store(file); }, {.kind = "ship file"});
}
