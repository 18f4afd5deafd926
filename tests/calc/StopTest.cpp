// Stopping the calculations part way: each gives up at its next row, cell or
// station once the stop is requested, with CCalculationStopped, instead of
// running to the end of the table.
#include "TableTests.h"

#include "calc/BonjeanTable.h"
#include "calc/CurvesOfForm.h"
#include "calc/InclinedTable.h"
#include "calc/StabilityCurve.h"
#include "calc/StopRequest.h"
#include "calc/SubmergedTrim.h"
#include "calc/TankTable.h"
#include "calc/UprightTable.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

// Progress that requests the stop once it reaches a position, as a person
// presses "Interrompi" while watching the bar, and keeps the highest
// position it was told.
struct StoppingProgress : CProgress {
    StoppingProgress(CStopRequest& stop, int at) : stop(stop), at(at) {}
    void SetRange(int, int) override {}
    void SetPos(int pos) override {
        highest = std::max(highest, pos);
        if (pos >= at)
            stop.Request();
    }
    CStopRequest& stop;
    int at;
    int highest = 0;
};

} // namespace

TEST(Stop, EveryCalculationGivesUpPartWay) {
    CShipModel ship;
    AddBarge(ship, 16, 8, 8); // 640 m^3

    {
        // 4001 waterplanes, stopped at the fifth.
        CStopRequest stop;
        StoppingProgress rows(stop, 5);
        CUprightInputs in;
        in.zmax = 4;
        in.dz = 0.001;
        EXPECT_THROW(ComputeUprightTable(ship, in, {&rows, &stop}), CCalculationStopped);
        EXPECT_LT(rows.highest, 2000);
    }
    {
        // KZ: 621 volumes by 4 angles on all cores, stopped in the first angle.
        CStopRequest stop;
        StoppingProgress volumes(stop, 10);
        RecordingProgress angles;
        CInclinedInputs in;
        OpenInclinedTable(ship, in);
        in.vi = 10;
        in.vf = 630;
        in.dv = 1;
        EXPECT_THROW(ComputeInclinedTable(ship, in, {&volumes, &stop, &angles}),
                     CCalculationStopped);
        ASSERT_FALSE(angles.positions.empty());
        EXPECT_LT(angles.positions.back(), 4);
    }
    {
        // GZ: cells one after the other; none starts after the stop.
        CStopRequest stop;
        StoppingProgress volumes(stop, 3);
        CInclinedInputs in;
        OpenInclinedTable(ship, in);
        in.kind = FreeToTrimGZ;
        in.vi = 100;
        in.vf = 500;
        in.dv = 50;
        EXPECT_THROW(ComputeInclinedTable(ship, in, {&volumes, &stop}), CCalculationStopped);
        EXPECT_EQ(volumes.highest, 3);
    }
    {
        // Bonjean: 21 + 40 stations, stopped at the third.
        CStopRequest stop;
        StoppingProgress stations(stop, 3);
        RecordingProgress waterlines;
        CBonjeanModelData data;
        ASSERT_TRUE(OpenBonjeanTables(ship, data));
        CBonjeanInputs in;
        in.zend = 4;
        in.dz = 0.01;
        in.station20 = 20;
        for (int k = 0; k < 40; ++k)
            in.extra += std::to_string(k * 0.5) + "\r\n";
        EXPECT_THROW(ComputeBonjeanTables(ship, in, data, {&stations, &stop}), CCalculationStopped);
        EXPECT_LT(stations.highest, 61);
        // Two million cells put into words stop between waterlines too.
        CBonjeanTables tables;
        tables.waterlines.assign(400, 1);
        tables.areas.assign(400 * 21, 1);
        tables.moments = tables.areas;
        CTextGrid areas, moments;
        CStopRequest words;
        StoppingProgress written(words, 3);
        EXPECT_THROW(WriteBonjeanGrids(tables, areas, moments, {&written, &words}),
                     CCalculationStopped);
        EXPECT_EQ(written.highest, 3);
    }
    {
        // A tank's table: 2001 soundings on all cores, stopped at the fifth.
        CShipModel tanked;
        AddGridBox(*tanked.AddElement(kindTank), {8, -2, 0.5}, {12, 2, 2.5}, 8, 8, 4);
        CStopRequest stop;
        StoppingProgress rows(stop, 5);
        CTankTableInputs in;
        for (int k = 0; k <= 2000; ++k)
            in.soundings.push_back(k * 0.001);
        EXPECT_THROW(ComputeTankTable(tanked, in, &stop, &rows), CCalculationStopped);
        EXPECT_LT(rows.highest, 1000);
    }
    {
        // Those without progress: a stop requested before they start.
        CStopRequest stop;
        stop.Request();
        EXPECT_THROW(ComputeCurvesOfForm(ship, CCurvesOfFormInputs(), nullptr, &stop),
                     CCalculationStopped);
        CStabilityInputs condition;
        condition.lightship = 300;
        condition.lcg = 10;
        condition.vcg = 3;
        EXPECT_THROW(ComputeStability(ship, condition, &stop), CCalculationStopped);
        CSubmergedTrimInputs trim;
        trim.x = 10.5;
        trim.z = 1;
        trim.weight = 500;
        trim.tolerance = 0.001;
        trim.trim = 0.02;
        EXPECT_THROW(ComputeSubmergedTrim(ship, trim, {nullptr, &stop}), CCalculationStopped);
    }
}
