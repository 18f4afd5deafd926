#include "TableTests.h"

#include "calc/InclinedTable.h"
#include "calc/StepCount.h"
#include "calc/SubmergedTrim.h"
#include "calc/UprightTable.h"
#include "geometry/Scalar.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "model/CTank.h"
#include "support/ByteBuilder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <tbb/task_arena.h>
#include <tuple>

namespace {

// A tank x 2..6, y -1..1, z 1..3 (16 m^3) holding load m^3 of fresh water.
CTank& AddAftTank(CShipModel& ship, double load) {
    auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
    AddGridBox(*tank, {2, -1, 1}, {6, 1, 3}, 4, 2, 2);
    tank->SetSpecificWeight(1000);
    tank->SetLoadVolume(load);
    return *tank;
}

// Inputs for one table over the volumes and angles given, G at g.
CInclinedInputs Inputs(const CShipModel& ship, double vi, double vf, double dv, double ai,
                       double af, double da, CalculationKind kind = EvenKeelKZ) {
    CInclinedInputs in;
    OpenInclinedTable(ship, in);
    in.vi = vi;
    in.vf = vf;
    in.dv = dv;
    in.ai = ai;
    in.af = af;
    in.da = da;
    in.kind = kind;
    return in;
}

CTextGrid RunTable(const CShipModel& ship, const CInclinedInputs& in,
                   std::vector<CInclinedCellNote>* notes = nullptr) {
    CTextGrid grid;
    WriteInclinedHeaders(grid);
    SetInclinedLeverHeader(grid, in.kind);
    EXPECT_TRUE(InclinedText(ship, in, grid, nullptr, nullptr, nullptr, notes));
    return grid;
}

double Cell(const CTextGrid& grid, int row, int col) {
    const std::string& text = grid.GetText(row, col);
    EXPECT_NE(text, "-") << row << ", " << col;
    return std::stod(text);
}

// KZ of a wall-sided box floating at draught t, beam b, heeled by phi, about
// the keel on the centreline: sin(phi) (KB + BM + BM tan^2(phi) / 2).
double WallSidedKZ(double b, double t, double phi) {
    const double bm = b * b / (12 * t);
    return std::sin(phi) * (t / 2 + bm + bm * std::tan(phi) * std::tan(phi) / 2);
}

} // namespace

TEST(StepCount, CountsWholeStepsWithoutLosingTheLastToRounding) {
    EXPECT_EQ(StepCount(4, 1), 4);
    EXPECT_EQ(StepCount(0.3, 0.1), 3); // 2.9999999999999996 in binary
    EXPECT_EQ(StepCount(0.7 - 0.1, 0.1), 6);
    EXPECT_EQ(StepCount(101.05 - 101, 0.01), 5);
    EXPECT_EQ(StepCount(0.35, 0.1), 3); // clearly fractional: truncated
    EXPECT_EQ(StepCount(1.99, 1), 1);
    EXPECT_EQ(StepCount(-0.3, 0.1), -3); // toward zero, the same mend
    EXPECT_FALSE(std::isfinite(StepCount(1, 0)));
}

TEST(StepCount, UprightTableKeepsTheWaterlineAskedFor) {
    CShipModel ship;
    AddBarge(ship);
    CUprightInputs in;
    in.zmin = 0;
    in.zmax = 0.3;
    in.dz = 0.1;
    ASSERT_FALSE(CheckUprightInputs(in));
    EXPECT_EQ(UprightRowCount(in), 4);
    CTextGrid grid;
    grid = UprightText(ship, in);
    ASSERT_EQ(grid.GetRows(), 5);
    EXPECT_EQ(grid.GetText(4, 0), "0.3");
    EXPECT_EQ(grid.GetText(4, 2), "48"); // 20 x 8 x 0.3
    in.zmax = 0.35;
    EXPECT_EQ(UprightRowCount(in), 4);
}

TEST(InclinedTable, OpensOnHalfTheImmersedBody) {
    CShipModel ship;
    AddGridBox(*ship.AddElement(kindHull), {0, -2.5, 0}, {10, 2.5, 2}, 4, 2, 2); // 100 m^3
    CInclinedInputs in;
    in.af = 90;
    OpenInclinedTable(ship, in);
    EXPECT_EQ(in.vmax, 100);
    EXPECT_EQ(in.vi, 50);
    EXPECT_EQ(in.vf, 50);
    EXPECT_EQ(in.dv, 0);
    EXPECT_EQ(in.precision, 0.1);
    EXPECT_EQ(std::tie(in.xg, in.yg, in.zg), std::make_tuple(5.0, 0.0, 1.0));
    EXPECT_EQ(std::tie(in.ai, in.af, in.da), std::make_tuple(0.0, 45.0, 15.0));
    EXPECT_EQ(in.kind, EvenKeelKZ);
    EXPECT_FALSE(CorrectInclinedInputs(in));

    // One volume row at 50 m^3, the angles 0, 15, 30 and 45: 3 x 6 cells.
    CTextGrid grid;
    WriteInclinedHeaders(grid);
    EXPECT_EQ(std::make_tuple(grid.GetRows(), grid.GetCols()), std::make_tuple(10, 6));
    ASSERT_TRUE(InclinedText(ship, in, grid, nullptr, nullptr, nullptr, nullptr));
    ASSERT_EQ(std::make_tuple(grid.GetRows(), grid.GetCols()), std::make_tuple(3, 6));
    EXPECT_EQ(Row(grid, 0), (std::vector<std::string>{"", "Teta [°]", "0", "15", "30", "45"}));
    EXPECT_EQ(Row(grid, 1), (std::vector<std::string>{"V [m^3]", "KZ [m]", "", "", "", ""}));
    EXPECT_EQ(grid.GetText(2, 0), "50");
    EXPECT_EQ(grid.GetText(2, 1), "");
    // Upright, B lies on the centreline: the lever is 0 to rounding.
    EXPECT_NEAR(Cell(grid, 2, 2), 0, 1e-9);
}

TEST(InclinedTable, CorrectsOutOfRangeInputsInOrder) {
    CShipModel ship;
    AddBarge(ship); // 640 m^3
    CInclinedInputs in = Inputs(ship, 100, 200, 50, 0, 400, 15);
    EXPECT_TRUE(CorrectInclinedInputs(in));
    EXPECT_EQ(in.af, 360);
    EXPECT_EQ(in.da, 15);

    // Ai beyond Af comes down to Af, leaving no room for a step: two
    // columns, both at 45.
    in = Inputs(ship, 100, 200, 50, 50, 45, 15);
    EXPECT_TRUE(CorrectInclinedInputs(in));
    EXPECT_EQ(in.ai, 45);
    EXPECT_EQ(in.da, 0);
    EXPECT_EQ(InclinedAngleCount(in), 1);
    CTextGrid grid = RunTable(ship, in);
    ASSERT_EQ(grid.GetCols(), 4);
    EXPECT_EQ(grid.GetText(0, 2), "45");
    EXPECT_EQ(grid.GetText(0, 3), "45");
    EXPECT_EQ(grid.GetText(2, 2), grid.GetText(2, 3));

    // Vf beyond Vmax is cut to Vmax; a dV wider than the range becomes the
    // range: two rows, Vi and Vf.
    in = Inputs(ship, 100, 1000, 5000, 0, 30, 15);
    EXPECT_TRUE(CorrectInclinedInputs(in));
    EXPECT_EQ(in.vf, 640);
    EXPECT_EQ(in.dv, 540);
    grid = RunTable(ship, in);
    ASSERT_EQ(grid.GetRows(), 4);
    EXPECT_EQ(grid.GetText(2, 0), "100");
    EXPECT_EQ(grid.GetText(3, 0), "640");

    // The rest of the ten, each alone.
    in = Inputs(ship, -5, 0, -1, -10, 0, -3);
    EXPECT_TRUE(CorrectInclinedInputs(in));
    EXPECT_EQ(in.ai, 0);
    EXPECT_EQ(in.af, 15); // Af <= 0 becomes 15 after Ai was raised to 0
    EXPECT_EQ(in.da, 15); // negative: the whole range
    EXPECT_EQ(in.vi, 0);
    EXPECT_EQ(in.vf, 320); // Vf <= 0 becomes Vmax / 2
    EXPECT_EQ(in.dv, 320);
    in = Inputs(ship, 300, 200, 10, 0, 45, 15);
    EXPECT_TRUE(CorrectInclinedInputs(in));
    EXPECT_EQ(in.vi, 200);
    EXPECT_EQ(in.dv, 0);
}

TEST(InclinedTable, CountsAndFormatsTheAnglesAndVolumes) {
    CShipModel ship;
    AddGridBox(*ship.AddElement(kindHull), {0, -20, 0}, {100, 20, 4}, 4, 2, 2); // 16000 m^3
    // 0 to 40 by 15: 0, 15 and 30, no column for 40.
    CInclinedInputs in = Inputs(ship, 10, 20, 5, 0, 40, 15);
    CTextGrid grid = RunTable(ship, in);
    EXPECT_EQ(Row(grid, 0), (std::vector<std::string>{"", "Teta [°]", "0", "15", "30"}));
    EXPECT_EQ(grid.GetText(2, 0), "10");
    EXPECT_EQ(grid.GetText(3, 0), "15");
    EXPECT_EQ(grid.GetText(4, 0), "20");
    EXPECT_EQ(grid.GetRows(), 5);
    // Three significant digits: 1234.5 in exponent form; angles to two
    // decimals in four digits.
    in = Inputs(ship, 1234.5, 1234.5, 0, 12.345, 12.345, 0);
    grid = RunTable(ship, in);
    EXPECT_EQ(grid.GetText(2, 0), "1.23e+03");
    EXPECT_EQ(grid.GetText(0, 2), "12.35");
    // Steps that land on the end in decimal land on it here too: 0 to 0.3
    // by 0.1 gives four rows, as does 0 to 0.35.
    in = Inputs(ship, 0, 0.3, 0.1, 0, 0, 0);
    EXPECT_EQ(InclinedVolumeCount(in), 3);
    in.vf = 0.35;
    EXPECT_EQ(InclinedVolumeCount(in), 3);
    in = Inputs(ship, 0, 0, 0, 0, 0.3, 0.1);
    EXPECT_EQ(InclinedAngleCount(in), 3);
}

TEST(InclinedTable, RefusesFieldsThatAreNotNumbersAndHugeTables) {
    CShipModel ship;
    AddBarge(ship);
    CInclinedInputs in = Inputs(ship, 10, 600, 10, 0, 90, 5);
    EXPECT_FALSE(CheckInclinedInputs(in));
    in.zg = std::nan("");
    EXPECT_EQ(RuleOf([&] { return CheckInclinedInputs(in); }), CalcRule::notANumber);
    in = Inputs(ship, 10, 600, 1e-6, 0, 90, 5);
    EXPECT_EQ(RuleOf([&] { return CheckInclinedInputs(in); }), CalcRule::tooMany);
    in = Inputs(ship, 10, 600, 10, 0, 360, 1e-300);
    EXPECT_EQ(RuleOf([&] { return CheckInclinedInputs(in); }), CalcRule::tooMany);
}

TEST(InclinedTable, EvenKeelLeverOfABoxConvergesToTheWallSidedFormula) {
    // 320 m^3: T = 2. Until the deck edge immerses (tan(phi) < 0.5) the box
    // is wall-sided; the one-point rule for the moments converges as the
    // panels get finer.
    double previous = 1e9;
    for (int n : {1, 4, 16, 48}) {
        CShipModel ship;
        AddBarge(ship, 2 * n, n, n);
        CInclinedInputs in = Inputs(ship, 320, 320, 0, 10, 25, 15);
        in.precision = 1e-6;
        const CTextGrid grid = RunTable(ship, in);
        double error = 0;
        for (int i = 0; i < 2; ++i)
            error = std::max(
                error, std::fabs(Cell(grid, 2, 2 + i) - WallSidedKZ(8, 2, DegToRad(10 + 15 * i))));
        EXPECT_LT(error, previous) << n;
        previous = error;
    }
    EXPECT_LT(previous, 5e-4); // printed to four digits
}

TEST(InclinedTable, FreeToTrimLeverOfASymmetricHullUprightIsZero) {
    CShipModel ship;
    AddBarge(ship);
    CInclinedInputs in = Inputs(ship, 200, 400, 100, 0, 30, 15, FreeToTrimGZ);
    in.xg = 10;
    in.zg = 3;
    CTextGrid grid = RunTable(ship, in);
    EXPECT_EQ(grid.GetText(1, 1), "GZ [m]");
    for (int j = 0; j < 3; ++j) {
        EXPECT_NEAR(Cell(grid, 2 + j, 2), 0, 1e-12) << j;
        EXPECT_GT(Cell(grid, 2 + j, 3), 0) << j; // stable at 15 degrees
    }
    // At 320 m^3 and 15 degrees, wall-sided: GZ = KZ - KG sin(phi).
    EXPECT_NEAR(Cell(grid, 3, 3), WallSidedKZ(8, 2, DegToRad(15)) - 3 * std::sin(DegToRad(15)),
                0.01);
    // G aft of B: the barge trims by the stern. Its triangulation is not
    // mirror-symmetric, and the one-point moments of the trimmed panels
    // leave B a few millimetres off the centreline; nothing more.
    in.xg = 10.5;
    grid = RunTable(ship, in);
    for (int j = 0; j < 3; ++j)
        EXPECT_NEAR(Cell(grid, 2 + j, 2), 0, 5e-3) << j;
}

TEST(InclinedTable, LiquidLoadsMoveTheEquilibriumTrim) {
    // A wide tank aft, half full: free to trim, its liquid runs aft as the
    // stern goes down, and the barge trims further than with the same
    // weight held solid at the liquid's upright centre.
    const auto firstCentre = [](bool liquid) {
        CShipModel ship;
        AddBarge(ship);
        auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
        AddGridBox(*tank, {1, -3, 0.5}, {9, 3, 2.5}, 8, 6, 2); // 96 m^3
        tank->SetSpecificWeight(1000);
        tank->SetLoadVolume(48); // level 1.5 upright, centre (5, 0, 1)
        CInclinedInputs in = Inputs(ship, 320, 320, 0, 0, 0, 0, FreeToTrimGZ);
        in.precision = 1e-6;
        // 320 m^3 of sea water weighs 328000; the liquid 48000 of it. The
        // search takes G0 without the liquid; held solid, the liquid is
        // part of a G0 that does not move.
        in.xg = 10;
        in.zg = 2;
        if (!liquid) {
            tank->SetEnabled(false);
            in.xg = (280000 * 10.0 + 48000 * 5) / 328000;
            in.zg = (280000 * 2.0 + 48000 * 1) / 328000;
        }
        const std::string path = TestPath(liquid ? "liquid.dxf" : "solid.dxf");
        CTextGrid grid;
        WriteInclinedHeaders(grid);
        {
            CDxfFile dxf(path, CFile::modeWrite | CFile::modeCreate);
            dxf.WriteHead();
            EXPECT_TRUE(InclinedText(ship, in, grid, &dxf, nullptr, nullptr, nullptr));
            dxf.WriteTail();
        }
        const auto bytes = ReadBytes(path);
        const std::string text(bytes.begin(), bytes.end());
        const std::size_t at = text.find(" 10\r\n", text.find("VERTEX"));
        EXPECT_NE(at, std::string::npos);
        return std::stod(text.substr(at + 5));
    };
    const double solid = firstCentre(false), liquid = firstCentre(true);
    // B.x - G.x = 0.73 m upright, GML about 15.7 m: 0.047 rad by the stern,
    // and the liquid's free surface (i = 6 x 8^3 / 12) takes 0.78 m off GML.
    EXPECT_LT(solid, 10 - 0.5);
    EXPECT_LT(liquid, solid - 0.02);
}

TEST(InclinedTable, TrajectoriesAreOnePolylinePerVolumeInAngleOrder) {
    CShipModel ship;
    AddBarge(ship);
    CInclinedInputs in = Inputs(ship, 0, 320, 160, 0, 30, 15);
    const std::string path = TestPath("trajectories.dxf");
    CTextGrid grid;
    WriteInclinedHeaders(grid);
    std::vector<CInclinedCellNote> notes;
    {
        CDxfFile dxf(path, CFile::modeWrite | CFile::modeCreate);
        dxf.WriteHead();
        InclinedText(ship, in, grid, &dxf, nullptr, nullptr, &notes);
        dxf.WriteTail();
    }
    const auto bytes = ReadBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    const auto count = [&](const std::string& what) {
        std::size_t n = 0;
        for (std::size_t at = text.find(what); at != std::string::npos;
             at = text.find(what, at + 1))
            ++n;
        return n;
    };
    // Volume 0 has no cell to draw: two polylines of three 3D vertices.
    EXPECT_EQ(count("POLYLINE\r\n"), 2u);
    EXPECT_EQ(count(" 70\r\n 8\r\n"), 2u);
    EXPECT_EQ(count("VERTEX\r\n"), 6u);
    EXPECT_EQ(count(" 70\r\n   32\r\n"), 6u);
    EXPECT_EQ(count("SEQEND\r\n"), 2u);
    // The first vertex: 160 m^3 upright, B = (10, 0, 0.5).
    EXPECT_NE(text.find("VERTEX\r\n 8\r\nDEFAULT\r\n 10\r\n10\r\n 20\r\n"), std::string::npos);
    EXPECT_NE(text.find(" 30\r\n0.5\r\n"), std::string::npos);
    // The volume 0 row shows "-" at every angle, with a note for each.
    EXPECT_EQ(Row(grid, 2), (std::vector<std::string>{"0", "", "-", "-", "-"}));
    ASSERT_EQ(notes.size(), 3u);
    EXPECT_EQ(notes[1].row, 2);
    EXPECT_EQ(notes[1].col, 3);
    EXPECT_EQ(notes[1].angle, 15);
    EXPECT_EQ(notes[1].fault, CInclinedFault::volumeOutOfRange);
    EXPECT_NE(DescribeInclinedNote(notes[1]).find("(2, 3)"), std::string::npos);
}

TEST(InclinedTable, VolumesBeyondTheShipsTotalShowADash) {
    // The immersed body counts compartments at full volume, the ship's total
    // volume by their permeability: Vmax can exceed what the ship displaces.
    CShipModel ship;
    AddBarge(ship);
    auto* room = static_cast<CCompartment*>(ship.AddElement(kindCompartment));
    AddGridBox(*room, {8, -2, 0}, {12, 2, 2}, 2, 2, 2); // 32 m^3 at 0.5
    room->SetPermeability(0.5);
    CInclinedInputs in;
    OpenInclinedTable(ship, in);
    EXPECT_EQ(in.vmax, 672);
    in.vi = 600;
    in.vf = 672;
    in.dv = 72;
    for (CalculationKind kind : {EvenKeelKZ, FreeToTrimGZ}) {
        in.kind = kind;
        std::vector<CInclinedCellNote> notes;
        const CTextGrid grid = RunTable(ship, in, &notes);
        EXPECT_NE(grid.GetText(2, 3), "-");
        EXPECT_EQ(grid.GetText(3, 2), "-");
        ASSERT_EQ(notes.size(), 4u);
        EXPECT_EQ(notes[0].volume, 672);
    }
}

TEST(InclinedTable, ProgressFollowsAnglesOutsideAndVolumesInside) {
    CShipModel ship;
    AddBarge(ship);
    CInclinedInputs in = Inputs(ship, 100, 300, 100, 0, 15, 15);
    CTextGrid grid;
    RecordingProgress volumes, angles;
    InclinedText(ship, in, grid, nullptr, &volumes, &angles, nullptr);
    EXPECT_EQ(volumes.range, (std::pair<int, int>{0, 3}));
    EXPECT_EQ(angles.range, (std::pair<int, int>{0, 2}));
    EXPECT_EQ(volumes.positions, (std::vector<int>{1, 2, 3, 1, 2, 3}));
    EXPECT_EQ(angles.positions, (std::vector<int>{1, 2}));
}

TEST(InclinedTable, KindHeaderAndCellsKeptByTheKindThatComputesNothing) {
    CShipModel ship;
    AddBarge(ship);
    CTextGrid grid;
    WriteInclinedHeaders(grid);
    grid.SetText(5, 5, "kept");
    SetInclinedLeverHeader(grid, FreeToTrimGZ);
    EXPECT_EQ(grid.GetText(1, 1), "GZ [m]");
    EXPECT_EQ(grid.GetText(5, 5), "kept");
    SetInclinedLeverHeader(grid, EvenKeelKZ);
    EXPECT_EQ(grid.GetText(1, 1), "KZ [m]");

    CInclinedInputs in = Inputs(ship, 100, 200, 100, 0, 15, 15);
    InclinedText(ship, in, grid, nullptr, nullptr, nullptr, nullptr);
    const std::string kz = grid.GetText(3, 3);
    in.kind = XBEqualsXG;
    InclinedText(ship, in, grid, nullptr, nullptr, nullptr, nullptr);
    EXPECT_EQ(grid.GetText(3, 3), kz);
    EXPECT_EQ(grid.GetText(0, 3), "15");

    // No volume: nothing happens.
    CShipModel empty;
    OpenInclinedTable(empty, in);
    CTextGrid untouched;
    WriteInclinedHeaders(untouched);
    EXPECT_FALSE(InclinedText(empty, in, untouched, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(untouched.GetRows(), 10);
}

TEST(InclinedTable, ParallelCellsGiveTheSerialTableDrawingAndProgress) {
    CShipModel ship;
    AddBarge(ship);
    AddAftTank(ship, 8);
    CInclinedInputs in = Inputs(ship, 40, 600, 40, 0, 60, 5);
    const auto run = [&](int threads, const char* name) {
        const std::string path = TestPath(name);
        CTextGrid grid;
        RecordingProgress volumes, angles;
        {
            CDxfFile dxf(path, CFile::modeWrite | CFile::modeCreate);
            dxf.WriteHead();
            tbb::task_arena arena(threads);
            arena.execute([&] { InclinedText(ship, in, grid, &dxf, &volumes, &angles, nullptr); });
            dxf.WriteTail();
        }
        return std::tuple{GridToText(grid), ReadBytes(path), volumes.positions, angles.positions};
    };
    const auto serial = run(1, "kz-serial.dxf");
    const auto parallel = run(4, "kz-parallel.dxf");
    EXPECT_EQ(std::get<0>(serial), std::get<0>(parallel));
    EXPECT_EQ(std::get<1>(serial), std::get<1>(parallel));
    EXPECT_EQ(std::get<2>(serial), std::get<2>(parallel));
    EXPECT_EQ(std::get<3>(serial), std::get<3>(parallel));
    EXPECT_EQ(std::get<2>(serial).size(), 15u * 13);
}

TEST(SubmergedTrim, BodyWithoutTanksPutsGUnderTheCentroid) {
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, -1, -1, 10, 1, 1));
    CSubmergedTrimInputs in;
    in.x = 4.9;
    in.z = -0.5;
    in.weight = 20000;
    in.tolerance = 1e-7;
    in.heel = 0.05;
    ASSERT_EQ(TrimRun(ship, in), CalcRule::noHull);
    EXPECT_EQ(in.heel, 2.86479); // 0.05 rad in degrees to 5 decimals
    // tan(t) = (B.x - G.x) / (B.z - G.z) = 0.1 / 0.5.
    EXPECT_EQ(in.trim, RoundTo(RadToDeg(std::atan(0.2)), 5));
}

TEST(SubmergedTrim, RefusesWhatHasNoAnswerAndLeavesTheFields) {
    CShipModel ship;
    ship.AddElement(kindHull)->Append(BoxMesh(0, -1, -1, 10, 1, 1));
    CSubmergedTrimInputs in;
    in.x = 5;
    in.z = -0.5;
    in.tolerance = 1e-6;
    in.trim = 0.1;
    // No weight at all: no centre of gravity to take.
    EXPECT_NE(TrimRun(ship, in), CalcRule::noHull);
    // A loaded tank gives the body its weight.
    CTank& tank = *static_cast<CTank*>(ship.AddElement(kindTank));
    tank.Append(BoxMesh(1, -0.5, -0.5, 3, 0.5, 0.5));
    tank.SetSpecificWeight(1000);
    tank.SetLoadVolume(1);
    CSubmergedTrimInputs loaded = in;
    EXPECT_EQ(TrimRun(ship, loaded), CalcRule::noHull);
    tank.SetEnabled(false);
    in.weight = -1;
    EXPECT_NE(TrimRun(ship, in), CalcRule::noHull);
    in.weight = 1000;
    in.tolerance = -1; // never met: the search stops at its cap
    EXPECT_NE(TrimRun(ship, in), CalcRule::noHull);
    in.tolerance = 1e-6;
    in.y = std::nan("");
    EXPECT_EQ(TrimRun(ship, in), CalcRule::notANumber);
    in.y = 0;
    ship.HullElements().GetAt(1)->SetEnabled(false);
    EXPECT_NE(TrimRun(ship, in), CalcRule::noHull);
    EXPECT_EQ(in.trim, 0.1);
    EXPECT_EQ(in.heel, 0);
}

TEST(SubmergedTrim, SaysWhetherTheWeightLetsTheBodyHangWhollySubmerged) {
    CShipModel ship;
    // 10 x 2 x 2 m = 40 m^3 of sea water at 1.025 t/m^3: 41 t.
    ship.AddElement(kindHull)->Append(BoxMesh(0, -1, -1, 10, 1, 1));
    CTank& tank = *static_cast<CTank*>(ship.AddElement(kindTank));
    tank.Append(BoxMesh(1, -0.5, -0.5, 3, 0.5, 0.5));
    tank.SetSpecificWeight(1000);
    tank.SetLoadVolume(1); // 1 t of liquid
    CSubmergedTrimInputs in;
    in.x = 5;
    in.z = -0.5;
    in.weight = 40;
    in.tolerance = kSubmergedTrimTolerance;
    CSubmergedTrim r = ComputeSubmergedTrim(ship, in);
    EXPECT_NEAR(r.weight, 41, 1e-12);
    EXPECT_NEAR(r.displaced, 41, 1e-12);
    EXPECT_TRUE(FloatsWhollySubmerged(r, in.tolerance));
    // A surface ship's weight, a fifth of what the body displaces: the
    // angles still come, the weights say it would not stay under.
    in.weight = 7.2;
    r = ComputeSubmergedTrim(ship, in);
    EXPECT_NEAR(r.weight, 8.2, 1e-12);
    EXPECT_FALSE(FloatsWhollySubmerged(r, in.tolerance));
}
