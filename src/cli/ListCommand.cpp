// brelund-calc list: the elements of a ship file, one line each.
#include "CliCommon.h"

#include "model/CShipModel.h"

#include <cstdio>
#include <memory>

namespace {

std::string ListShip(const CShipModel& ship) {
    std::string out = kElementListHeader;
    for (int i = 1; i <= ship.HullElements().GetCount(); ++i)
        out += ElementLine(kindHull, *ship.HullElements().GetAt(i));
    for (int i = 1; i <= ship.Compartments().GetCount(); ++i)
        out += ElementLine(kindCompartment, *ship.Compartments().GetAt(i));
    for (int i = 1; i <= ship.Tanks().GetCount(); ++i)
        out += ElementLine(kindTank, *ship.Tanks().GetAt(i));
    return out;
}

} // namespace

void AddListCommand(CLI::App& app, int& status) {
    auto path = std::make_shared<std::string>();
    CLI::App* cmd = app.add_subcommand(
        "list", "List the elements of a ship file, one per line "
                "(TAB-separated, with a header line; a tank's density in t/m^3); warns of a tank "
                "whose density was most likely never set");
    cmd->add_option("SHIP", *path, "Ship file (.nav)")->required();
    cmd->callback([path, &status] {
        CShipModel ship;
        LoadShip(ship, *path, false);
        // The whole listing is built before anything is printed, so a
        // failure never leaves half a table on stdout.
        const std::string out = ListShip(ship);
        std::fwrite(out.data(), 1, out.size(), stdout);
        WarnOfValueProblems(ship);
        WarnOfUnsetDensities(ship, false);
        status = exitOk;
    });
}
