// Any bytes read as a ship's conditions file: either its conditions or a
// CFileException, never a crash or another exception; and what is read is
// written and read back the same, as the application saves it.
#include "model/ConditionsFile.h"
#include "platform/CFileException.h"

#include <cstdint>
#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    CLoadingConditions conditions;
    try {
        conditions = ReadConditionsText(text, "fuzz.conditions.json");
    } catch (const CFileException&) {
        return 0;
    }
    // A file that reads is one that writes: every fault was refused.
    const std::string written = ConditionsText(conditions, "fuzz.conditions.json");
    if (!(ReadConditionsText(written, "fuzz.conditions.json") == conditions))
        std::abort();
    return 0;
}
