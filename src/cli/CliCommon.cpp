#include "CliCommon.h"

#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "platform/NumberText.h"

#include <filesystem>

std::string EscapeField(const std::string& text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\r':
            out += "\\r";
            break;
        case '\n':
            out += "\\n";
            break;
        default:
            out += c;
        }
    }
    return out;
}

const char* const kElementListHeader =
    "kind\tname\tenabled\tmeshes\tfaces\tvolume\tcolour\tpermeability\tspecific_weight\t"
    "load_volume\tfilling_ratio\n";

std::string ElementLine(int kind, const CShipElement& e) {
    static const char* const kinds[] = {"", "hull", "compartment", "tank"};
    std::string line = std::string(kinds[kind]) + '\t' + EscapeField(e.GetName()) + '\t' +
                       (e.IsEnabled() ? "1" : "0") + '\t' + FormatC("%d", e.GetCount()) + '\t' +
                       FormatC("%lld", e.GetFaceCount()) + '\t' + FormatC("%.10g", e.Volume()) +
                       '\t' + FormatC("%u", static_cast<unsigned>(e.GetColour()));
    if (kind == kindCompartment) {
        const auto& c = static_cast<const CCompartment&>(e);
        line += '\t' + FormatC("%.10g", c.GetPermeability()) + "\t\t\t\n";
    } else if (kind == kindTank) {
        const auto& t = static_cast<const CTank&>(e);
        line += "\t\t" + FormatC("%.10g", t.GetSpecificWeight()) + '\t' +
                FormatC("%.10g", t.GetLoadVolume()) + '\t' + FormatC("%.10g", t.GetFillingRatio()) +
                '\n';
    } else {
        line += "\t\t\t\t\n";
    }
    return line;
}

void LoadShip(CShipModel& ship, const std::string& path, bool allowNew) {
    if (allowNew && !std::filesystem::exists(path)) {
        ship.Clear();
        return;
    }
    LoadShipFile(ship, path);
}
