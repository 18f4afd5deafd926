#include "TableTests.h"

#include "calc/UprightTable.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "model/ShipFile.h"
#include "support/ByteBuilder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <tbb/task_arena.h>
#include <tuple>

namespace {

CalcRule RefusalRule(const CUprightInputs& in) {
    const CCalcCheck problem = CheckUprightInputs(in);
    return problem ? problem->rule : CalcRule::noHull;
}

} // namespace

TEST(UprightTable, OpensOnTheHullsHeightAndTheImmersedBody) {
    CShipModel ship;
    AddGridBox(*ship.AddElement(kindHull), {0, -1, 0.5}, {3, 1, 2.87}, 3, 2, 2);
    CUprightInputs in;
    in.heel = 5;
    CImmersedBody body;
    OpenUprightTable(ship, in, body);
    EXPECT_EQ(in.zmin, 0.5);
    EXPECT_EQ(in.zmax, 2.87);
    EXPECT_EQ(in.dz, 47 * 0.01); // a fifth of 2.37 m, cut to whole centimetres
    EXPECT_EQ(in.heel, 0);
    EXPECT_EQ(body.volume, 14.22); // 3 x 2 x 2.37, to 3 decimals
    EXPECT_EQ(body.xb, 1.5);
    EXPECT_EQ(body.zb, 1.685);
    // No hull element: the heights stay 0 and the step 0, which is refused.
    CShipModel empty;
    OpenUprightTable(empty, in, body);
    EXPECT_EQ(in.zmin, 0);
    EXPECT_EQ(in.dz, 0);
    EXPECT_EQ(RefusalRule(in), CalcRule::notAbove);
}

TEST(UprightTable, RefusesImpossibleHeights) {
    CUprightInputs in;
    in.zmin = 1;
    in.zmax = 3;
    in.dz = 0.5;
    EXPECT_FALSE(CheckUprightInputs(in));
    for (auto [zmin, zmax, dz, rule] : {std::tuple{3.0, 1.0, 0.5, CalcRule::aboveOther},
                                        {1.0, 1.0, 0.5, CalcRule::narrowerThanStep},
                                        {1.0, 1.2, 0.5, CalcRule::narrowerThanStep},
                                        {1.0, 3.0, 0.0, CalcRule::notAbove},
                                        {1.0, 3.0, -0.5, CalcRule::notAbove},
                                        {1.0, 3.0, 1e-9, CalcRule::tooMany}}) {
        in.zmin = zmin;
        in.zmax = zmax;
        in.dz = dz;
        EXPECT_EQ(RefusalRule(in), rule) << zmin << " " << zmax << " " << dz;
    }
    in.zmin = std::nan("");
    in.dz = 0.5;
    EXPECT_EQ(RefusalRule(in), CalcRule::notANumber);
    EXPECT_EQ(CheckUprightInputs(in)->input, "zmin");
}

TEST(UprightTable, RowCountFollowsTheWholeStepsOfTheRange) {
    CUprightInputs in;
    in.zmin = 0;
    in.zmax = 4;
    in.dz = 1;
    EXPECT_EQ(UprightRowCount(in), 5); // k + 1 rows, the last at Zmax
    in.zmax = 1.99 * in.dz;
    EXPECT_EQ(UprightRowCount(in), 2); // Zmin and Zmin + dz, never Zmax
}

TEST(UprightTable, BoxBargeRowsAreTheClosedForms) {
    CShipModel ship;
    AddBarge(ship);
    CUprightInputs in;
    in.zmin = -1;
    in.zmax = 5;
    in.dz = 1;
    RecordingProgress progress;
    const CTextGrid grid = UprightText(ship, in, &progress);
    ASSERT_EQ(grid.GetRows(), 8);
    ASSERT_EQ(grid.GetCols(), 14);
    EXPECT_EQ(Row(grid, 0),
              (std::vector<std::string>{"Z[m]", "Z rel[m]", "V[m^3]", "Rx[m]", "Ry[m]", "XB[m]",
                                        "YB[m]", "ZB[m]", "Af[m^2]", "xf[m]", "yf[m]", "Lwl[m]",
                                        "Bwl[m]", "S[m^2]"}));
    // Below the keel: no volume, "-" from column 3 on.
    EXPECT_EQ(Row(grid, 1), (std::vector<std::string>{"-1", "0", "0", "-", "-", "-", "-", "-", "-",
                                                      "-", "-", "-", "-", "-"}));
    // On the keel the bottom lies in the waterplane: still no volume.
    EXPECT_EQ(grid.GetText(2, 2), "0");
    // T = 2: V = 20 x 8 x 2 = 320, BMt = 8^2 / (12 x 2) = 2.6667,
    // BMl = 20^2 / 24 = 16.6667, KB = 1, Af = 160, S = 160 + 2 x 2 x 28 = 272.
    EXPECT_EQ(Row(grid, 4),
              (std::vector<std::string>{"2", "3", "320", "2.6667", "16.6667", "10", "0", "1", "160",
                                        "10", "0", "20", "8", "272"}));
    // T = 3: V = 480, BMt = 64 / 36 = 1.7778, BMl = 400 / 36 = 11.1111.
    EXPECT_EQ(Row(grid, 5),
              (std::vector<std::string>{"3", "4", "480", "1.7778", "11.1111", "10", "0", "1.5",
                                        "160", "10", "0", "20", "8", "328"}));
    // Above the deck: the whole volume and its centre, no waterplane, and
    // "-" for everything else, the wetted surface included.
    EXPECT_EQ(Row(grid, 7), (std::vector<std::string>{"5", "6", "640", "-", "-", "10", "0", "2",
                                                      "-", "-", "-", "-", "-", "-"}));
    EXPECT_EQ(progress.range, (std::pair<int, int>{0, 7}));
    EXPECT_EQ(progress.positions, (std::vector<int>{1, 1, 2, 3, 4, 5, 6, 7}));
}

TEST(UprightTable, WaterlinesGoToTheDrawingAtTheirHeights) {
    CShipModel ship;
    AddBarge(ship);
    CUprightInputs in;
    in.zmin = 1;
    in.zmax = 3;
    in.dz = 1;
    const std::string path = TestPath("waterlines.dxf");
    {
        CDxfFile dxf(path, CFile::modeWrite | CFile::modeCreate);
        dxf.WriteHead();
        UprightText(ship, in, nullptr, &dxf);
        dxf.WriteTail();
    }
    const auto bytes = ReadBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    // 8 + 4 + 8 + 4 panel edges around each of the three waterplanes.
    std::size_t lines = 0;
    for (std::size_t at = text.find("LINE\r\n"); at != std::string::npos;
         at = text.find("LINE\r\n", at + 1))
        ++lines;
    EXPECT_EQ(lines, 3u * 24);
    EXPECT_NE(text.find("  30\r\n3.00000000\r\n"), std::string::npos);
    EXPECT_EQ(text.find("  30\r\n0.00000000\r\n"), std::string::npos);
}

TEST(GridToText, TabsBetweenCellsAndLineEndsBetweenRows) {
    CTextGrid grid(2, 3);
    grid.SetText(0, 0, "a");
    grid.SetText(0, 2, "c");
    grid.SetText(1, 1, "e");
    EXPECT_EQ(GridToText(grid), "a\t\tc\r\n\te\t");
    EXPECT_EQ(GridToText(grid, 1, 1), "e\t");
    EXPECT_EQ(GridToText(grid, 0, 0, "\n"), "a\t\tc\n\te\t");
    // Resizing keeps the cells that remain.
    grid.SetRows(3);
    grid.SetCols(2);
    EXPECT_EQ(GridToText(grid), "a\t\r\n\te\r\n\t");
    EXPECT_EQ(GridToText(CTextGrid()), "");
    grid.SetText(5, 5, "outside");
    EXPECT_EQ(grid.GetText(5, 5), "");
}

TEST(UprightTable, ParallelRowsGiveTheSerialTableAndDrawingByteForByte) {
    CShipModel ship;
    LoadShipFile(ship, std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav");
    CUprightInputs in;
    in.zmin = -0.3;
    in.zmax = 10.2;
    in.dz = 0.25;
    in.heel = 7;
    in.trim = -1.5;
    auto run = [&](int threads, const std::string& name) {
        CTextGrid grid;
        RecordingProgress progress;
        const std::string path = TestPath(name);
        {
            CDxfFile dxf(path, CFile::modeWrite | CFile::modeCreate);
            dxf.WriteHead();
            tbb::task_arena arena(threads);
            arena.execute([&] { grid = UprightText(ship, in, &progress, &dxf); });
            dxf.WriteTail();
        }
        return std::tuple{GridToText(grid), ReadBytes(path), progress.positions};
    };
    const auto [serialText, serialDxf, serialProgress] = run(1, "serial.dxf");
    const auto [parallelText, parallelDxf, parallelProgress] = run(4, "parallel.dxf");
    EXPECT_EQ(serialText, parallelText);
    EXPECT_EQ(serialDxf, parallelDxf);
    EXPECT_GT(serialDxf.size(), 10000u);
    EXPECT_EQ(parallelProgress, serialProgress); // row by row, in order
    EXPECT_EQ(parallelProgress.size(), 44u);
}
