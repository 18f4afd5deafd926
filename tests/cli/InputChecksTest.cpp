#include "CalcRunner.h"
#include "model/TestShips.h"

#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "support/ByteBuilder.h"

#include <cmath>
#include <gtest/gtest.h>

namespace {

const std::string kBarge = std::string(BRELUND_SOURCE_DIR) + "/samples/barge.nav";

std::string CopyOfBarge(const std::string& name) {
    const std::string path = TestPath(name);
    WriteBytes(path, ReadBytes(kBarge));
    return path;
}

} // namespace

TEST(CalcInputs, EmptyNumbersAreUsageErrors) {
    const std::string ship = CopyOfBarge("empty-values.nav");
    const auto before = ReadBytes(ship);
    for (const char* option : {"--filling ''", "--colour ''", "--specific-weight ' '"}) {
        const CalcResult r = RunCalc("edit " + ShellQuote(ship) + " 'cassa 1' " + option);
        EXPECT_EQ(r.status, 2) << option;
        EXPECT_NE(r.err.find("a number is needed, not an empty value"), std::string::npos) << r.err;
    }
    EXPECT_EQ(RunCalc("upright " + ShellQuote(ship) + " --heel ''").status, 2);
    EXPECT_EQ(ReadBytes(ship), before);
}

// Options and series take decimal numbers alone: nothing typed is read as a
// hexadecimal or an octal number.
TEST(CalcInputs, NumbersAreDecimal) {
    const std::string barge = ShellQuote(kBarge);
    CalcResult r = RunCalc("upright " + barge + " --heel 0x10");
    EXPECT_EQ(r.status, 2);
    EXPECT_NE(r.err.find("--heel: \"0x10\" is not a number"), std::string::npos) << r.err;
    r = RunCalc("hydrostatics " + barge + " --draughts 0x1");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("\"0x1\" is not a number"), std::string::npos) << r.err;
    // 010 significant digits are ten.
    EXPECT_EQ(RunCalc("hydrostatics " + barge + " --draughts 1 --digits 010").out,
              RunCalc("hydrostatics " + barge + " --draughts 1 --digits 10").out);
}

TEST(CalcInputs, ClampedTankValuesAreReported) {
    const std::string ship = CopyOfBarge("clamped.nav");
    CalcResult r = RunCalc("edit " + ShellQuote(ship) + " 'cassa 1' --load-volume 1e308");
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("--load-volume 1e+308 was taken as 24"), std::string::npos) << r.err;
    r = RunCalc("edit " + ShellQuote(ship) + " 'cassa 1' --specific-weight -1000");
    EXPECT_NE(r.err.find("--specific-weight -1000 was taken as 0"), std::string::npos) << r.err;
    r = RunCalc("edit " + ShellQuote(ship) + " 'cassa 1' --load-volume 12 --specific-weight 900");
    EXPECT_EQ(r.err, "");
}

TEST(CalcInputs, RefusalsNameTheInputAndTheRule) {
    const std::string barge = ShellQuote(kBarge);
    const std::string italian = "\n"; // no Italian after the English words
    CalcResult r = RunCalc("upright " + barge + " --heel nan");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "brelund-calc: --heel is not a number" + italian);
    r = RunCalc("upright " + barge + " --zmin 2 --zmax 1");
    EXPECT_EQ(r.err, "brelund-calc: --zmin (2) is above --zmax (1)" + italian);
    for (const std::string& args :
         {"inclined " + barge + " --zg nan",
          "trim " + barge + " --xg 1 --yg 0 --zg inf --weight 1 --tolerance 1",
          "bonjean " + barge + " --zstart 1e999 --zend 1 --dz 1 --station0 0 --station20 1"}) {
        r = RunCalc(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find(" is not a finite number\n"), std::string::npos) << r.err;
        EXPECT_EQ(r.err.find("Immettere"), std::string::npos) << r.err;
        EXPECT_NE(r.err.find("brelund-calc: --z"), std::string::npos) << r.err;
    }
    const std::string empty = TestPath("no-hull.nav");
    WriteBytes(empty, std::vector<unsigned char>(12, 0));
    r = RunCalc("upright " + ShellQuote(empty));
    EXPECT_EQ(r.err,
              "brelund-calc: the ship has no hull element with vertices to take the heights from" +
                  italian);
}

TEST(CalcInputs, WholeTurnsOfHeelAndTrimAreUpright) {
    // The barge's deck at 3 m lies in the last waterplane: a hair of heel
    // changes its wetted surface.
    const std::string barge = ShellQuote(kBarge) + " --zmin 2 --zmax 3 --dz 0.5";
    const CalcResult upright = RunCalc("upright " + barge);
    ASSERT_EQ(upright.status, 0);
    for (const char* turns : {" --heel 360", " --trim -720", " --heel 720 --trim 360"})
        EXPECT_EQ(RunCalc("upright " + barge + turns).out, upright.out) << turns;
    EXPECT_NE(RunCalc("upright " + barge + " --heel 359").out, upright.out);
}

TEST(CalcInputs, EveryCommandTakesWholeTurnsOffItsAngles) {
    const std::string barge = ShellQuote(kBarge);
    const std::string hydrostatics = "hydrostatics " + barge + " --draughts 1,2.5 --digits 17";
    const CalcResult level = RunCalc(hydrostatics + " --heel 0");
    ASSERT_EQ(level.status, 0) << level.err;
    for (const char* turns : {" --heel 360", " --heel 36000000", " --heel -720 --trim 360"})
        EXPECT_EQ(RunCalc(hydrostatics + turns).out, level.out) << turns;
    EXPECT_EQ(RunCalc(hydrostatics + " --heel 10 --trim 275").out,
              RunCalc(hydrostatics + " --heel 10 --trim -85").out);
    EXPECT_EQ(RunCalc("upright " + barge + " --trim 270").out,
              RunCalc("upright " + barge + " --trim -90").out);
    // The column of 360 degrees is the one of 0.
    CalcResult r = RunCalc("inclined " + barge + " --ai 0 --af 360 --da 360");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string last = r.out.substr(r.out.rfind('\n', r.out.size() - 2) + 1);
    EXPECT_EQ(last, "360\t\t0\t0\n");
    // The trim command takes its angles in radians: a turn is twice pi as
    // the calculations take it.
    const std::string trim =
        "trim " + ShellQuote(std::string(BRELUND_SOURCE_DIR) + "/samples/submarine.nav") +
        " --xg 12 --yg 0 --zg -0.3 --weight 100 --tolerance 0.0001";
    r = RunCalc(trim);
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(RunCalc(trim + " --heel 6.283185308 --trim -12.566370616").out, r.out);
}

TEST(CalcInputs, ValuesThatAreNotNumbersAreNamedAndRefuseTheTables) {
    const std::string path = TestPath("nan.nav");
    {
        CShipModel ship;
        AddGridBox(*ship.AddElement(kindHull), {0, -4, 0}, {20, 4, 4}, 4, 2, 2);
        auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
        room->SetName("room");
        room->Append(BoxMesh(5, -1, 0, 10, 1, 2));
        room->SetPermeability(std::nan(""));
        CShipElement* named = ship.AddElement(kindTank);
        named->SetName(std::string("a\0b", 3));
        StoreShipFile(ship, path);
    }
    CalcResult r = RunCalc("list " + ShellQuote(path));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.out.find("tank\ta\\0b\t"), std::string::npos) << r.out;
    EXPECT_NE(r.err.find("warning: compartment 'room': its permeability is not a number"),
              std::string::npos)
        << r.err;
    r = RunCalc("upright " + ShellQuote(path));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("compartment 'room': its permeability is not a number: the results "
                         "would not be numbers"),
              std::string::npos)
        << r.err;
    EXPECT_EQ(r.out, "");
    // Editing the room asks for its permeability first, as the dialog does;
    // given one, the table is computed.
    r = RunCalc("edit " + ShellQuote(path) + " room --enabled 0");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "brelund-calc: " + path +
                         ": 'room': its permeability (nan) is not a finite number: give one with "
                         "--permeability\n");
    ASSERT_EQ(RunCalc("edit " + ShellQuote(path) + " room --permeability 0.85").status, 0);
    r = RunCalc("upright " + ShellQuote(path));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
}

TEST(CalcInputs, DamageTheShipFileToleratesIsReported) {
    // One hull element of one empty polyface mesh, no compartment, no tank.
    const auto ship = [](int meshes, int compartments, bool trailing) {
        ByteBuilder b;
        b.I32(1).Body(true, 0, "hull", meshes).I32(1).I32(0).I32(0);
        b.I32(compartments).I32(0);
        if (trailing)
            b.I32(0);
        const std::string path = TestPath("tolerated.nav");
        WriteBytes(path, b.bytes);
        return RunCalc("list " + ShellQuote(path));
    };
    CalcResult r = ship(1, 0, false);
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "");
    // Four bytes more than the file needs.
    r = ship(1, 0, true);
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("4 bytes after the last tank, from byte 41, were not read"),
              std::string::npos)
        << r.err;
    // A second mesh whose tag is the compartment count: the element's meshes
    // end there and the reader goes on from it, as the file format says.
    r = ship(2, 0, true);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("element 'hull': unknown mesh tag 0 at byte 33"), std::string::npos)
        << r.err;
    r = ship(1, -1, false);
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("the compartment count at byte 33 is negative (-1): read as none"),
              std::string::npos)
        << r.err;
}

TEST(CalcInputs, TwoElementsOfOneNameAreReported) {
    const std::string path = TestPath("twins.nav");
    {
        CShipModel ship;
        ship.AddElement(kindHull)->Append(BoxMesh(0, 0, 0, 1, 1, 1));
        ship.HullElements().GetAt(1)->SetName("twin");
        ship.AddElement(kindTank)->SetName("twin");
        StoreShipFile(ship, path);
    }
    const CalcResult r = RunCalc("list " + ShellQuote(path));
    EXPECT_EQ(r.status, 0);
    EXPECT_NE(r.err.find("two or more elements are named 'twin'"), std::string::npos) << r.err;
}

TEST(CalcInputs, ThreadsChangeNothingButTheCoresUsed) {
    const std::string ship = ShellQuote(std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav");
    // So deep the sample's air pipe is under water: the angle is typed.
    const std::string curve =
        "stability " + ship + " --lightship 5000 --lcg 50 --vcg 4 --flooding-angle 40";
    const CalcResult all = RunCalc(curve);
    ASSERT_EQ(all.status, 0) << all.err;
    const CalcResult one = RunCalc(curve + " --threads 1");
    EXPECT_EQ(one.status, 0);
    EXPECT_EQ(one.out, all.out);
    const CalcResult two = RunCalc(curve, "", "BRELUND_THREADS=2");
    EXPECT_EQ(two.out, all.out);

    const CalcResult zero = RunCalc("list " + ship + " --threads 0");
    EXPECT_EQ(zero.status, 2);
    EXPECT_NE(zero.err.find("--threads: Value 0 not in range 1 to 1024"), std::string::npos)
        << zero.err;
    const CalcResult word = RunCalc("list " + ship, "", "BRELUND_THREADS=all");
    EXPECT_EQ(word.status, 2);
    EXPECT_EQ(word.err, "brelund-calc: BRELUND_THREADS (all) must be a whole number from 1 to "
                        "1024\n");
}
