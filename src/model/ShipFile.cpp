#include "ShipFile.h"

#include "CShipModel.h"
#include "platform/AtomicFile.h"
#include "platform/CFile.h"
#include "platform/ShipLock.h"

#include "LoadNotes.h"

void LoadShipFile(CShipModel& model, const std::string& path) {
    try {
        const CShipLock lock(path, CShipLock::shared);
        for (const CMessage& note : lock.Notes())
            loadnotes::Note(note);
        CFile file(path, CFile::modeRead);
        model.Load(file);
    } catch (...) {
        model.Clear();
        throw;
    }
}

void StoreShipFile(const CShipModel& model, const std::string& path) {
    const CShipLock lock(path, CShipLock::exclusive);
    WriteFileAtomically(path, [&](CFile& file) { model.Store(file); }, {.kind = "ship file"});
}
