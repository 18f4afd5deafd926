// brelund-calc list: the elements of a ship file, one line each.
#include "CliCommon.h"

#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "platform/NumberText.h"

#include <cstdio>
#include <memory>

namespace {

const char* const kHeader = "kind\tname\tenabled\tmeshes\tfaces\tvolume\tcolour\tpermeability\t"
                            "specific_weight\tload_volume\tfilling_ratio\n";

std::string CommonFields(const char* kind, const CShipElement& e) {
    return std::string(kind) + '\t' + EscapeField(e.GetName()) + '\t' +
           (e.IsEnabled() ? "1" : "0") + '\t' + FormatC("%d", e.GetCount()) + '\t' +
           FormatC("%lld", e.GetFaceCount()) + '\t' + FormatC("%.10g", e.Volume()) + '\t' +
           FormatC("%u", static_cast<unsigned>(e.GetColour()));
}

std::string ListShip(const CShipModel& ship) {
    std::string out = kHeader;
    const auto& hull = ship.HullElements();
    for (int i = 1; i <= hull.GetCount(); ++i)
        out += CommonFields("hull", *hull.GetAt(i)) + "\t\t\t\t\n";
    const auto& compartments = ship.Compartments();
    for (int i = 1; i <= compartments.GetCount(); ++i) {
        const CCompartment& c = *compartments.GetAt(i);
        out += CommonFields("compartment", c) + '\t' + FormatC("%.10g", c.GetPermeability()) +
               "\t\t\t\n";
    }
    const auto& tanks = ship.Tanks();
    for (int i = 1; i <= tanks.GetCount(); ++i) {
        const CTank& t = *tanks.GetAt(i);
        out += CommonFields("tank", t) + "\t\t" + FormatC("%.10g", t.GetSpecificWeight()) + '\t' +
               FormatC("%.10g", t.GetLoadVolume()) + '\t' + FormatC("%.10g", t.GetFillingRatio()) +
               '\n';
    }
    return out;
}

} // namespace

void AddListCommand(CLI::App& app, int& status) {
    auto path = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand("list", "List the elements of a ship file, one per line "
                                               "(TAB-separated, with a header line)");
    cmd->add_option("SHIP", *path, "Ship file (.nav)")->required();
    cmd->callback([path, &status] {
        CShipModel ship;
        LoadShipFile(ship, *path);
        // The whole listing is built before anything is printed, so a
        // failure never leaves half a table on stdout.
        const std::string out = ListShip(ship);
        std::fwrite(out.data(), 1, out.size(), stdout);
        status = exitOk;
    });
}
