#include "TableTests.h"

#include "calc/BonjeanTable.h"
#include "geometry/CSectionContour.h"
#include "io/CDxfFile.h"
#include "model/CShipModel.h"
#include "support/ByteBuilder.h"

#include <cmath>
#include <gtest/gtest.h>
#include <tbb/task_arena.h>
#include <tuple>

namespace {

double WigleyArea(double l, double b, double t, double x, double d) {
    const double xi = (2 * x - l) / l;
    return b * (1 - xi * xi) * d * d * (3 * t - d) / (3 * t * t);
}

CSectionContour SectionAt(const CShipModel& ship, double x) {
    CSectionContour c;
    ship.Section(x, c);
    return c;
}

CBonjeanInputs Inputs(double zstart, double zend, double dz, double station0, double station20,
                      std::string extra = "") {
    CBonjeanInputs in;
    in.zstart = zstart;
    in.zend = zend;
    in.dz = dz;
    in.station0 = station0;
    in.station20 = station20;
    in.extra = std::move(extra);
    return in;
}

} // namespace

TEST(Sections, BargeSectionHasTheRectanglesAreaAndMoment) {
    CShipModel ship;
    AddBarge(ship, 20, 4, 4); // panels 1 m long
    const CSectionContour c = SectionAt(ship, 10.5);
    ASSERT_GT(c.GetCount(), 0);
    for (double t : {0.5, 2.0, 3.25}) {
        double a, q, l;
        c.Properties(t, a, q, l);
        EXPECT_NEAR(a, 8 * t, 1e-12) << t;
        EXPECT_NEAR(q, 8 * t * t / 2, 1e-12) << t;
    }
    double a, q, l;
    c.Properties(-0.5, a, q, l); // waterline under the keel
    EXPECT_EQ(a, 0);
    EXPECT_EQ(q, 0);
    // Through a row of vertices: the same section as a hair away.
    const CSectionContour onRow = SectionAt(ship, 10);
    const CSectionContour beside = SectionAt(ship, 10 + 1e-9);
    double a2, q2;
    onRow.Properties(2, a, q, l);
    beside.Properties(2, a2, q2, l);
    EXPECT_NEAR(a, a2, 1e-9);
    EXPECT_NEAR(q, q2, 1e-9);
    // At the aft end every face lies at or beyond the plane and is passed
    // over; beyond the bow every face is short of the plane but none reaches
    // it.
    EXPECT_EQ(SectionAt(ship, 0).GetCount(), 0);
    EXPECT_EQ(SectionAt(ship, 21).GetCount(), 0);
    // Disabled hull elements are not cut.
    ship.HullElements().GetAt(1)->SetEnabled(false);
    CSectionContour none;
    EXPECT_FALSE(ship.Section(10.5, none));
}

TEST(Sections, HullExtentsSpanEveryHullElementThatHasVertices) {
    CShipModel ship;
    CVector3 min(7, 7, 7), max(7, 7, 7);
    EXPECT_FALSE(ship.HullExtents(min, max));
    EXPECT_EQ(min.X(), 7); // untouched
    // An element without meshes first, then two boxes, one disabled; a tank
    // does not count.
    ship.AddElement(kindHull);
    EXPECT_FALSE(ship.HullExtents(min, max));
    ship.AddElement(kindHull)->Append(BoxMesh(10, -1, 2, 30, 1, 5));
    CShipElement* aft = ship.AddElement(kindHull);
    aft->Append(BoxMesh(5, -2, 1, 12, 2, 4));
    aft->SetEnabled(false);
    ship.AddElement(kindTank)->Append(BoxMesh(-50, -50, -50, 50, 50, 50));
    ASSERT_TRUE(ship.HullExtents(min, max));
    EXPECT_EQ(std::make_tuple(min.X(), min.Y(), min.Z()), std::make_tuple(5.0, -2.0, 1.0));
    EXPECT_EQ(std::make_tuple(max.X(), max.Y(), max.Z()), std::make_tuple(30.0, 2.0, 5.0));
    CBonjeanModelData data;
    ASSERT_TRUE(OpenBonjeanTables(ship, data));
    EXPECT_EQ(std::make_tuple(data.xmin, data.xmax, data.zmin, data.zmax),
              std::make_tuple(5.0, 30.0, 1.0, 5.0));
}

TEST(Sections, WigleySectionAreasConvergeToTheClosedForm) {
    const double l = 100, b = 10, t = 6.25;
    double previous = 1e9;
    for (int n : {4, 16, 64}) {
        CShipModel ship;
        AddWigley(ship, l, b, t, n);
        double error = 0;
        for (double x : {25.0, 40.0, 50.0})
            for (double d : {2.0, 4.5, 6.25}) {
                double a, q, lat;
                SectionAt(ship, x).Properties(d, a, q, lat);
                error = std::max(error, std::fabs(a - WigleyArea(l, b, t, x, d)));
            }
        EXPECT_LT(error, previous) << n;
        previous = error;
    }
    EXPECT_LT(previous, 0.02); // of sections up to 41.7 m^2
}

TEST(BonjeanTables, RefusalsInTheirOrder) {
    CShipModel ship;
    AddBarge(ship, 20, 4, 4); // panels 1 m long
    CBonjeanModelData data;
    OpenBonjeanTables(ship, data);
    const auto rule = [&](const CShipModel* s, const CBonjeanInputs& in) {
        return RuleOf([&] { return CheckBonjeanInputs(s, in, data); });
    };
    EXPECT_EQ(rule(nullptr, Inputs(0, 4, 1, 0, 20)), CalcRule::noHull);
    EXPECT_EQ(rule(&ship, Inputs(5, 4, 1, -1, 20)), CalcRule::aboveOther);
    EXPECT_EQ(rule(&ship, Inputs(0, 4, 1, -1, 20)), CalcRule::notAtLeast);
    EXPECT_EQ(rule(&ship, Inputs(0, 4, 5, 0, 20)), CalcRule::narrowerThanStep);
    EXPECT_EQ(rule(&ship, Inputs(0, 4, 0, 0, 20)), CalcRule::zeroStep);
    EXPECT_FALSE(CheckBonjeanInputs(&ship, Inputs(2, 2, 0, 0, 20), data));
    EXPECT_FALSE(CheckBonjeanInputs(&ship, Inputs(0, 4, 1, 0, 20), data));
    // A step backwards or too fine to hold, and fields that are not numbers.
    EXPECT_EQ(rule(&ship, Inputs(0, 4, -1, 0, 20)), CalcRule::notAtLeast);
    EXPECT_EQ(rule(&ship, Inputs(0, 4, 1e-9, 0, 20)), CalcRule::tooMany);
    EXPECT_EQ(rule(&ship, Inputs(0, 4, 1, std::nan(""), 20)), CalcRule::notANumber);
}

// An additional station that is not a number is refused with the dialog's
// message, never read as station 0 or as its first digits; empty lines and
// line ends read as before.
TEST(BonjeanTables, AdditionalStationThatIsNotANumberIsRefused) {
    CShipModel ship;
    AddBarge(ship, 20, 4, 4);
    CBonjeanModelData data;
    OpenBonjeanTables(ship, data);
    const std::pair<const char*, const char*> refused[] = {
        {"abc", "abc"}, {"1,5", "1,5"}, {"10\r\n 2x", " 2x"}, {"10\t0x1\t3", "0x1"}};
    for (const auto& [extra, bad] : refused) {
        const CCalcCheck problem = CheckBonjeanInputs(&ship, Inputs(0, 4, 1, 0, 20, extra), data);
        ASSERT_TRUE(problem) << extra;
        EXPECT_EQ(problem->rule, CalcRule::notANumber);
        EXPECT_EQ(problem->input, "extra");
        EXPECT_EQ(problem->other, bad);
        std::string entry;
        EXPECT_TRUE(FindStationThatIsNotANumber(extra, entry));
        EXPECT_EQ(entry, bad);
    }
    const std::string kept = "10\r\n 2.5 \r\n\r\nabc";
    EXPECT_FALSE(CheckBonjeanInputs(&ship, Inputs(0, 4, 1, 0, 20, kept), data));
    EXPECT_EQ(ReadAdditionalStations(kept), (std::vector<double>{10, 2.5}));
}

TEST(BonjeanTables, WaterlineCountsAndHeights) {
    EXPECT_EQ(BonjeanWaterlineCount(Inputs(0, 5, 1, 0, 0)), 6);
    EXPECT_EQ(BonjeanWaterlineCount(Inputs(0, 5.5, 1, 0, 0)), 6);
    EXPECT_EQ(BonjeanWaterlineCount(Inputs(0, 0.3, 0.1, 0, 0)), 4);
    EXPECT_EQ(BonjeanWaterlineCount(Inputs(3, 3, 0, 0, 0)), 1);

    CShipModel ship;
    AddBarge(ship, 20, 4, 4); // panels 1 m long
    CBonjeanModelData data;
    OpenBonjeanTables(ship, data);
    CTextGrid areas, moments;
    BonjeanText(ship, Inputs(0, 0.3, 0.1, 0, 20), data, areas, moments);
    ASSERT_EQ(areas.GetRows(), 5);
    ASSERT_EQ(areas.GetCols(), 22);
    EXPECT_EQ(areas.GetText(0, 0), "");
    EXPECT_EQ(areas.GetText(0, 1), "0");
    EXPECT_EQ(areas.GetText(0, 21), "20");
    EXPECT_EQ(moments.GetText(4, 0), "0.3");
    // Station 10 at x = 10 (a row of vertices): b T and b T^2 / 2.
    EXPECT_EQ(areas.GetText(4, 11), "2.4");
    EXPECT_EQ(moments.GetText(4, 11), "0.36");
    EXPECT_EQ(areas.GetText(1, 11), "0");
}

TEST(BonjeanTables, StationsNudgedOffTheHullsEnds) {
    CBonjeanModelData data;
    data.xmin = 0;
    data.xmax = 20;
    // Station 0 on Xmin: nudged in, and every later station with it; the
    // last one, on Xmax + nudge, comes back by the nudge.
    std::vector<double> xs = BonjeanStations(Inputs(0, 4, 1, 0, 20), data, false);
    ASSERT_EQ(xs.size(), 21u);
    EXPECT_EQ(xs[0], 0.00001);
    EXPECT_EQ(xs[1], 0.00001 + 1);
    EXPECT_EQ(xs[20], xs[19] + 1 - 0.00001);
    // The drawing nudges only off Xmin exactly.
    xs = BonjeanStations(Inputs(0, 4, 1, 0, 20), data, true);
    EXPECT_EQ(xs[0], 0.00001);
    EXPECT_EQ(xs[20], xs[19] + 1);
    // Additional stations: numbers times the spacing; reading stops at the
    // first empty line.
    EXPECT_EQ(ReadAdditionalStations("10\r\n2.5"), (std::vector<double>{10, 2.5}));
    EXPECT_EQ(ReadAdditionalStations("\r\n10\r\n2.5"), std::vector<double>{});
    EXPECT_EQ(ReadAdditionalStations("3\r\n\r\n7"), std::vector<double>{3});
    EXPECT_EQ(ReadAdditionalStations("4\t1e1"), (std::vector<double>{4, 10}));
    data.xmin = 5;
    xs = BonjeanStations(Inputs(0, 4, 1, 6, 26, "10\r\n2.5\r\n5"), data, false);
    ASSERT_EQ(xs.size(), 24u);
    EXPECT_EQ(xs[21], 10);
    EXPECT_EQ(xs[22], 2.5);
    EXPECT_EQ(xs[23], 5 + 0.00001); // on Xmin
}

TEST(BonjeanTables, AdditionalColumnsAndASpacingOfZero) {
    CShipModel ship;
    AddBarge(ship, 20, 4, 4); // panels 1 m long
    CBonjeanModelData data;
    OpenBonjeanTables(ship, data);
    CTextGrid areas, moments;
    BonjeanText(ship, Inputs(0, 4, 2, 0, 20, "10\r\n2.5"), data, areas, moments);
    ASSERT_EQ(areas.GetCols(), 24);
    EXPECT_EQ(areas.GetText(0, 22), "10");
    EXPECT_EQ(areas.GetText(0, 23), "2.5");
    EXPECT_EQ(areas.GetText(2, 22), "16");
    EXPECT_EQ(moments.GetText(2, 23), "16");
    // Station 0 and station 20 at the same x: 21 identical sections.
    BonjeanText(ship, Inputs(0, 4, 2, 7, 7), data, areas, moments);
    ASSERT_EQ(areas.GetCols(), 22);
    for (int j = 2; j <= 21; ++j)
        EXPECT_EQ(areas.GetText(3, j), areas.GetText(3, 1)) << j;
    EXPECT_EQ(areas.GetText(3, 1), "32");
}

TEST(BonjeanTables, ParallelStationsGiveTheSerialTablesDrawingAndProgress) {
    CShipModel ship;
    AddWigley(ship, 100, 10, 6.25, 24);
    CBonjeanModelData data;
    OpenBonjeanTables(ship, data);
    const CBonjeanInputs in = Inputs(0, 6.25, 0.25, 0, 100, "0.5\r\n19.5\r\n7.25");
    const auto run = [&](int threads, const char* name) {
        tbb::task_arena arena(threads);
        CTextGrid areas, moments;
        RecordingProgress stations, waterlines, drawn;
        const std::string path = TestPath(name);
        arena.execute([&] {
            BonjeanText(ship, in, data, areas, moments, &stations, &waterlines);
            CDxfFile dxf(path, CFile::modeWrite | CFile::modeCreate);
            dxf.WriteHead();
            SectionsDrawing(ship, in, data, dxf, &drawn);
            dxf.WriteTail();
        });
        return std::tuple{GridToText(areas) + GridToText(moments), ReadBytes(path),
                          stations.positions, waterlines.positions, drawn.positions};
    };
    const auto serial = run(1, "bonjean-serial.dxf");
    const auto parallel = run(4, "bonjean-parallel.dxf");
    EXPECT_EQ(serial, parallel);
    EXPECT_EQ(std::get<2>(serial).size(), 25u); // position 1, then one per station
    EXPECT_EQ(std::get<3>(serial).size(), 27u);
    EXPECT_GT(std::get<1>(serial).size(), 10000u);
}
