// brelund-calc tanks: what it refuses, each in one line naming the input
// (the tables themselves are golden files: tests/golden/tanks-*).
#include "CalcRunner.h"
#include "model/TestShips.h"

#include "model/CShipModel.h"
#include "model/ShipFile.h"

#include <gtest/gtest.h>

namespace {

const std::string kBarge = std::string(BRELUND_SOURCE_DIR) + "/samples/barge.nav";

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

} // namespace

TEST(CalcTanks, RefusalsNameTheInputInOneLine) {
    const std::string barge = "tanks " + ShellQuote(kBarge);
    const struct {
        std::string args;
        int status;
        std::string err;
    } cases[] = {
        {barge + " nope", 1, "the ship has no tank 'nope'"},
        {barge + " --soundings 0,x", 1, "--soundings \"0,x\": \"x\" is not a number"},
        {barge + " --soundings 2:1:0.1", 1, "--soundings \"2:1:0.1\": FROM is above TO"},
        {barge + " --volumes 30", 1,
         "tank 'cassa 1': the volume 30 m^3 does not fit its volume 24 m^3"},
        {barge + " --volumes 1,-1", 1, "the volume -1 m^3 is below 0"},
        {barge + " --trims 0,90", 1,
         "the trim 90 deg must lie between -90 and 90 deg (both excluded)"},
        {barge + " --density 0", 1, "--density (0 t/m^3) must be a number above 0"},
        {barge + " --heel nan", 1, "--heel (nan) is not a finite number"},
        {barge + " --soundings 1 --volumes 1", 2, "--soundings excludes --volumes"},
    };
    for (const auto& c : cases) {
        const CalcResult r = RunCalc(c.args);
        EXPECT_EQ(r.status, c.status) << c.args;
        EXPECT_EQ(r.err.substr(0, r.err.find('\n')),
                  c.status == 2 ? c.err : "brelund-calc: " + c.err)
            << c.args;
        EXPECT_EQ(r.out, "") << c.args;
    }

    // A tank without meshes, a ship without tanks, and a pipe along the
    // free surface.
    CShipModel ship;
    AddGridBox(*ship.AddElement(kindHull), {0, -4, 0}, {20, 4, 4}, 2, 2, 2);
    const std::string noTanks = TestPath("no-tanks.nav");
    StoreShipFile(ship, noTanks);
    ship.AddElement(kindTank)->SetName("vuota");
    const std::string empty = TestPath("empty-tank.nav");
    StoreShipFile(ship, empty);
    EXPECT_EQ(RunCalc("tanks " + ShellQuote(noTanks)).err, "brelund-calc: the ship has no tanks\n");
    const CalcResult r = RunCalc("tanks " + ShellQuote(empty) + " vuota");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "brelund-calc: tank 'vuota' encloses no volume (it has no vertices, or its "
                     "faces point inwards)\n");
    const std::string piped = TestPath("piped.nav");
    WriteBytes(piped, ReadBytes(kBarge));
    WriteText(TestPath("piped.conditions.json"),
              R"({"format": 1, "conditions": [], "sounding_pipes": [{"tank": "cassa 1", )"
              R"("x_m": 12, "y_m": 0, "z_m": 0.5, "direction_x": 1, "direction_y": 0, )"
              R"("direction_z": 1e-7}]})");
    EXPECT_EQ(RunCalc("tanks " + ShellQuote(piped) + " --trims 0").err,
              "brelund-calc: tank 'cassa 1': its sounding pipe lies in the free surface at heel "
              "0 deg and trim 0 deg, so no level is read along it\n");
}
