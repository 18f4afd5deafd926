#include "TableTests.h"

#include "calc/CurvesOfForm.h"
#include "calc/NumberSeries.h"
#include "geometry/Scalar.h"
#include "model/CShipModel.h"
#include "report/RecordText.h"

#include <cmath>
#include <gtest/gtest.h>
#include <tbb/task_arena.h>

namespace {

std::string ParseDraughts(const std::string& text, std::vector<double>& out) {
    return ParseNumberSeries("--draughts", text, kMaxDraughts, out);
}

// The value in column key of row i; NaN when the cell has no value.
double Cell(const CRecordTable& t, std::size_t i, const std::string& key) {
    for (std::size_t c = 0; c < t.columns.size(); ++c)
        if (t.columns[c].key == key)
            return t.rows.at(i).at(c).IsNumber() ? t.rows[i][c].Number() : std::nan("");
    ADD_FAILURE() << "no column " << key;
    return std::nan("");
}

// The box barge of the table tests with its keel at z = -1, so that
// heights from the keel and from z = 0 differ; the tests put the baseline
// at the keel unless they say otherwise.
void AddLowBarge(CShipModel& ship) {
    AddGridBox(*ship.AddElement(kindHull), {0, -4, -1}, {20, 4, 3}, 8, 4, 4);
}

} // namespace

TEST(CurvesOfForm, BoxBargeEveryColumnMatchesItsClosedForm) {
    CShipModel ship;
    AddLowBarge(ship);
    CCurvesOfFormInputs in;
    in.draughts = {0.5, 1.7, 3.2, 4};
    in.density = 1.025;
    in.baseline = -1;
    CShipDatums datums;
    const CRecordTable t = ComputeCurvesOfForm(ship, in, &datums);
    ASSERT_EQ(t.rows.size(), 4u);
    ASSERT_EQ(t.columns.size(), 26u);
    EXPECT_EQ(datums.Lpp(), 20); // the waterline at the deepest draught
    const double l = 20, b = 8, rho = 1.025, e = 1e-10;
    for (std::size_t i = 0; i < 4; ++i) {
        const double d = in.draughts[i];
        SCOPED_TRACE(d);
        EXPECT_EQ(Cell(t, i, "T_m"), d);
        EXPECT_NEAR(Cell(t, i, "volume_m3"), l * b * d, e);            // V = L B T
        EXPECT_NEAR(Cell(t, i, "displacement_t"), rho * l * b * d, e); // rho V
        EXPECT_NEAR(Cell(t, i, "LCB_m"), l / 2, e);
        EXPECT_NEAR(Cell(t, i, "TCB_m"), 0, e);
        EXPECT_NEAR(Cell(t, i, "KB_m"), d / 2, e); // from the baseline, not z = 0
        EXPECT_NEAR(Cell(t, i, "Awp_m2"), l * b, e);
        EXPECT_NEAR(Cell(t, i, "LCF_m"), l / 2, e);
        EXPECT_NEAR(Cell(t, i, "TCF_m"), 0, e);
        EXPECT_NEAR(Cell(t, i, "BMt_m"), b * b / (12 * d), e); // B^2 / (12 T)
        EXPECT_NEAR(Cell(t, i, "BMl_m"), l * l / (12 * d), e); // L^2 / (12 T)
        EXPECT_NEAR(Cell(t, i, "KMt_m"), d / 2 + b * b / (12 * d), e);
        EXPECT_NEAR(Cell(t, i, "KMl_m"), d / 2 + l * l / (12 * d), e);
        EXPECT_NEAR(Cell(t, i, "TPC_t_per_cm"), rho * l * b / 100, e);
        // rho L B T L^2 / (12 T) / (100 Lpp) = rho B L^2 / 1200 with Lpp = L.
        EXPECT_NEAR(Cell(t, i, "MCT1cm_t_m_per_cm"), rho * b * l * l / 1200, e);
        EXPECT_NEAR(Cell(t, i, "Lwl_m"), l, e);
        EXPECT_NEAR(Cell(t, i, "Bwl_m"), b, e);
        EXPECT_NEAR(Cell(t, i, "S_m2"), l * b + 2 * d * (l + b), e);
        EXPECT_NEAR(Cell(t, i, "Am_m2"), b * d, e);
        for (const char* k : {"Cb", "Cp", "Cm", "Cwp"})
            EXPECT_NEAR(Cell(t, i, k), 1, e) << k;
    }
    // A given Lpp enters MCT 1 cm alone.
    in.lpp = 16;
    const CRecordTable shorter = ComputeCurvesOfForm(ship, in);
    EXPECT_NEAR(Cell(shorter, 0, "MCT1cm_t_m_per_cm"), rho * b * l * l * l / 1200 / 16, e);
    EXPECT_EQ(Cell(shorter, 0, "Cb"), Cell(t, 0, "Cb"));
}

TEST(CurvesOfForm, DefaultDraughtsRunToTheDeckAndEmptyValuesStayEmpty) {
    CShipModel ship;
    AddLowBarge(ship);
    CCurvesOfFormInputs in;
    in.baseline = -1;
    const CRecordTable t = ComputeCurvesOfForm(ship, in);
    ASSERT_EQ(t.rows.size(), 10u);
    EXPECT_NEAR(Cell(t, 0, "T_m"), 0.4, 1e-15);
    EXPECT_EQ(Cell(t, 9, "T_m"), 4);
    // The deck lies in the waterplane: the barge is awash, its waterplane
    // whole.
    EXPECT_NEAR(Cell(t, 9, "volume_m3"), 640, 1e-10);
    EXPECT_NEAR(Cell(t, 9, "Awp_m2"), 160, 1e-10);
    EXPECT_NEAR(Cell(t, 9, "Lwl_m"), 20, 1e-12);

    // At the keel there is no volume; above the deck no waterplane. What
    // cannot be formed has no value.
    in.draughts = {0, 5};
    const CRecordTable ends = ComputeCurvesOfForm(ship, in);
    EXPECT_EQ(Cell(ends, 0, "volume_m3"), 0);
    for (const char* k : {"LCB_m", "KB_m", "BMt_m", "KMl_m", "MCT1cm_t_m_per_cm", "Cb", "Cm"})
        EXPECT_TRUE(std::isnan(Cell(ends, 0, k))) << k;
    EXPECT_NEAR(Cell(ends, 1, "volume_m3"), 640, 1e-10);
    EXPECT_NEAR(Cell(ends, 1, "KB_m"), 2, 1e-12);
    EXPECT_EQ(Cell(ends, 1, "Awp_m2"), 0);
    for (const char* k : {"LCF_m", "BMt_m", "KMt_m", "Cwp"})
        EXPECT_TRUE(std::isnan(Cell(ends, 1, k))) << k;
    EXPECT_EQ(WriteRecords(ends, RecordFormat::tsv, 17).find("nan"), std::string::npos);
}

TEST(CurvesOfForm, ABodyUnderWaterHasNoWaterplaneAndItsMidshipIsTheHulls) {
    // Heeled and trimmed, the closed surface's waterplane terms cancel only
    // to rounding: no centre of flotation may come out of that noise.
    CShipModel ship;
    AddLowBarge(ship);
    CCurvesOfFormInputs in;
    in.heel = 10;
    in.trim = 3;
    in.draughts = {20, 30};
    CShipDatums datums;
    const CRecordTable t = ComputeCurvesOfForm(ship, in, &datums);
    EXPECT_EQ(datums.Lpp(), 20); // the hull's length: no waterline to take it from
    for (std::size_t i = 0; i < 2; ++i) {
        EXPECT_NEAR(Cell(t, i, "volume_m3"), 640, 1e-9);
        EXPECT_EQ(Cell(t, i, "Awp_m2"), 0);
        EXPECT_EQ(Cell(t, i, "TPC_t_per_cm"), 0);
        for (const char* k : {"LCF_m", "TCF_m", "BMt_m", "BMl_m", "KMt_m", "MCT1cm_t_m_per_cm"})
            EXPECT_TRUE(std::isnan(Cell(t, i, k))) << k;
        // The section through the middle of the hull, wholly under water.
        EXPECT_NEAR(Cell(t, i, "Am_m2"), 32, 1e-9);
        EXPECT_NEAR(Cell(t, i, "LCB_m"), 10, 1e-9);
    }
}

TEST(CurvesOfForm, HeeledBoxReadsTheDraughtOnTheCentreline) {
    // Heeled 10 degrees, the waterplane crosses the centreline at the
    // midship station T above the baseline (the keel), and the wall-sided
    // box keeps V = L B T.
    CShipModel ship;
    AddLowBarge(ship);
    CCurvesOfFormInputs in;
    in.heel = 10;
    in.baseline = -1;
    in.draughts = {2};
    const CRecordTable t = ComputeCurvesOfForm(ship, in);
    const double phi = DegToRad(10), c = std::cos(phi);
    EXPECT_NEAR(Cell(t, 0, "volume_m3"), 20 * 8 * 2, 1e-10);
    EXPECT_NEAR(Cell(t, 0, "Bwl_m"), 8 / c, 1e-12);
    EXPECT_NEAR(Cell(t, 0, "TCB_m"), 64 * std::tan(phi) / (12 * 2), 1e-12);
    EXPECT_NEAR(Cell(t, 0, "Am_m2"), 8 * 2, 1e-10);
    EXPECT_NEAR(Cell(t, 0, "TA_m"), 2, 1e-12);
    EXPECT_NEAR(Cell(t, 0, "trim_m"), 0, 1e-12);
}

TEST(CurvesOfForm, ADomeBelowTheBaselineCountsInVolumeButNotInTheDraught) {
    // A 20 x 8 box on the baseline z = 0 with a 4 x 2 x 2 dome under it.
    CShipModel ship;
    AddBarge(ship);
    AddGridBox(*ship.AddElement(kindHull), {8, -1, -2}, {12, 1, 0}, 2, 2, 2);
    CCurvesOfFormInputs in;
    in.draughts = {2};
    const CRecordTable t = ComputeCurvesOfForm(ship, in);
    const double v = 20 * 8 * 2 + 16, e = 1e-10;
    EXPECT_EQ(Cell(t, 0, "T_m"), 2);
    EXPECT_NEAR(Cell(t, 0, "volume_m3"), v, e);
    EXPECT_NEAR(Cell(t, 0, "KB_m"), (320 * 1 - 16 * 1) / v, e);
    EXPECT_NEAR(Cell(t, 0, "Cb"), v / (20 * 8 * 2), e);
    EXPECT_NEAR(Cell(t, 0, "Am_m2"), 8 * 2 + 2 * 2, e);
    EXPECT_NEAR(Cell(t, 0, "Cm"), 20.0 / 16, e);
    EXPECT_NEAR(Cell(t, 0, "KMt_m"), (320 - 16) / v + 20 * 512 / 12.0 / v, e);

    // A row is the same whatever else is asked, with the perpendiculars
    // given or found at a waterline of the same length.
    in.draughts = {1, 3.5, 2};
    const CRecordTable list = ComputeCurvesOfForm(ship, in);
    for (std::size_t c = 0; c < t.columns.size(); ++c)
        EXPECT_EQ(WriteRecords({{t.columns[c]}, {{list.rows[2][c]}}}, RecordFormat::tsv, 17),
                  WriteRecords({{t.columns[c]}, {{t.rows[0][c]}}}, RecordFormat::tsv, 17));

    // Below the dome there is no ship to float.
    in.draughts = {-2.5};
    const CCalcCheck below = CheckCurvesOfFormShip(ship, in);
    ASSERT_TRUE(below);
    EXPECT_EQ(below->rule, CalcRule::belowHull);
    EXPECT_EQ(below->limit, -2);
    in.draughts = {-1.5};
    EXPECT_FALSE(CheckCurvesOfFormShip(ship, in));
}

TEST(CurvesOfForm, TrimmedBoxReadsItsDraughtsAtThePerpendiculars) {
    // Trimmed by theta (the end towards +x up), the waterplane of the
    // 20 x 8 box meets its vertical at x as T - (x - 10) tan(theta).
    CShipModel ship;
    AddBarge(ship);
    CCurvesOfFormInputs in;
    in.trim = 2;
    in.draughts = {2};
    in.perpendiculars = true;
    in.ap = 1;
    in.fp = 19;
    const CRecordTable t = ComputeCurvesOfForm(ship, in);
    const double tau = std::tan(DegToRad(2)), e = 1e-10;
    EXPECT_NEAR(Cell(t, 0, "TA_m"), 2 + 9 * tau, e);
    EXPECT_NEAR(Cell(t, 0, "TF_m"), 2 - 9 * tau, e);
    EXPECT_NEAR(Cell(t, 0, "trim_m"), 18 * tau, e);
    EXPECT_NEAR(Cell(t, 0, "volume_m3"), 20 * 8 * 2, e);
    EXPECT_NEAR(Cell(t, 0, "LCB_m"), 10 - 400 * tau / (12 * 2), e);
}

TEST(CurvesOfForm, RowsOnAllCoresGiveTheSerialBytes) {
    CShipModel ship;
    AddWigley(ship, 100, 10, 6.25, 24);
    CCurvesOfFormInputs in;
    in.heel = 3;
    in.trim = 0.5;
    ASSERT_EQ(ParseDraughts("0.5:6:0.25", in.draughts), "");
    const std::string parallel = WriteRecords(ComputeCurvesOfForm(ship, in), RecordFormat::tsv, 17);
    tbb::task_arena one(1);
    std::string serial;
    one.execute(
        [&] { serial = WriteRecords(ComputeCurvesOfForm(ship, in), RecordFormat::tsv, 17); });
    EXPECT_EQ(parallel, serial);
    EXPECT_EQ(std::count(serial.begin(), serial.end(), '\n'), 1 + 23);
}

TEST(CurvesOfForm, ParsesDraughtRangesAndListsAndNamesWhatIsWrong) {
    std::vector<double> d;
    EXPECT_EQ(ParseDraughts("1:2:0.25", d), "");
    EXPECT_EQ(d, (std::vector<double>{1, 1.25, 1.5, 1.75, 2}));
    // 0.3 / 0.1 is 2.9999999999999996 in binary: the last step still counts,
    // and lands on TO itself.
    EXPECT_EQ(ParseDraughts("0:0.3:0.1", d), "");
    ASSERT_EQ(d.size(), 4u);
    EXPECT_EQ(d.back(), 0.3);
    EXPECT_EQ(ParseDraughts(" 2.5, 1 ,4e0", d), "");
    EXPECT_EQ(d, (std::vector<double>{2.5, 1, 4}));
    const struct {
        const char* text;
        const char* says;
    } bad[] = {
        {"", "empty"},
        {"3:1:1", "FROM is above TO"},
        {"1:3:0", "STEP must be above 0"},
        {"1:3:-1", "STEP must be above 0"},
        {"1:x:1", "TO is not a number"},
        {"1:2", "FROM:TO:STEP"},
        {"1:2:3:4", "FROM:TO:STEP"},
        {"1,,2", "\"\" is not a number"},
        {"1,2m", "\"2m\" is not a number"},
        {"nan", "\"nan\" is not a number"},
        {"0:1:1e-9", "more than"},
        // Typed text stays on the message's one line.
        {"1,2\nx", "\"2\\nx\" is not a number"},
    };
    for (const auto& b : bad) {
        const std::string problem = ParseDraughts(b.text, d);
        EXPECT_NE(problem.find(b.says), std::string::npos) << b.text << ": " << problem;
    }
    CCurvesOfFormInputs in;
    EXPECT_FALSE(CheckCurvesOfFormInputs(in));
    in.density = -1;
    EXPECT_EQ(CheckCurvesOfFormInputs(in)->input, "density");
    in.density = 1;
    in.draughts = {1, std::nan("")};
    EXPECT_EQ(CheckCurvesOfFormInputs(in)->input, "draughts");
    in.draughts = {1, -0.5}; // from a baseline above the keel
    EXPECT_FALSE(CheckCurvesOfFormInputs(in));
    in.trim = -450; // -90: the ship's vertical in the waterplane
    EXPECT_EQ(CheckCurvesOfFormInputs(in)->rule, CalcRule::notBelow);
}
