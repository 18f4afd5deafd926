#include "CalcRunner.h"
#include "RecordReaders.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const std::string kSamples = std::string(BRELUND_SOURCE_DIR) + "/samples/";

std::string Hydrostatics(const std::string& ship) {
    return "hydrostatics " + ShellQuote(kSamples + ship);
}

} // namespace

TEST(CalcHydrostatics, PrintsTenDraughtsToTheDeckWithUnits) {
    const CalcResult r = RunCalc(Hydrostatics("barge.nav"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> blocks = Blocks(r.out, "\n\n");
    ASSERT_EQ(blocks.size(), 2u);
    // The datums: baseline z = 0, the perpendiculars at the hull's ends.
    EXPECT_EQ(blocks[0],
              "baseline[m]\tAP[m]\tFP[m]\tLpp[m]\tmidship[m]\tperpendiculars\theel[deg]\t"
              "trim[deg]\tdensity[t/m^3]\n0\t0\t30\t30\t15\thull ends\t0\t0\t1.025\n");
    EXPECT_EQ(std::count(blocks[1].begin(), blocks[1].end(), '\n'), 11);
    EXPECT_EQ(blocks[1].substr(0, blocks[1].find('\n')),
              "T[m]\tTA[m]\tTF[m]\ttrim[m]\tV[m^3]\tDisp[t]\tLCB[m]\tTCB[m]\tKB[m]\tAwp[m^2]\t"
              "LCF[m]\tTCF[m]\tBMt[m]\tBMl[m]\tKMt[m]\tKMl[m]\tTPC[t/cm]\tMCT1cm[t*m/cm]\t"
              "Lwl[m]\tBwl[m]\tS[m^2]\tAm[m^2]\tCb\tCp\tCm\tCwp");
    // The barge is a 30 x 8 x 3 m box: at 1.5 m V = 360 m^3, 369 t, TPC =
    // 1.025 * 240 / 100.
    EXPECT_NE(r.out.find("\n1.5\t1.5\t1.5\t0\t360\t369\t15\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\t2.46\t"), std::string::npos);
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
    // The same bytes every run.
    EXPECT_EQ(RunCalc(Hydrostatics("barge.nav")).out, r.out);
}

TEST(CalcHydrostatics, CsvAndJsonParseBack) {
    const std::string args = Hydrostatics("wigley.nav") + " --draughts 0,2,4.5 --heel 5";
    const CalcResult csv = RunCalc(args + " --format csv --digits 17");
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::string> blocks = Blocks(csv.out, "\r\n\r\n");
    ASSERT_EQ(blocks.size(), 2u);
    bool wellFormed = false;
    const auto records = ParseCsv(blocks[1], wellFormed);
    EXPECT_TRUE(wellFormed);
    ASSERT_EQ(records.size(), 4u);
    for (const auto& record : records)
        EXPECT_EQ(record.size(), 26u);
    EXPECT_EQ(records[0][0], "T[m]");
    EXPECT_EQ(records[1][0], "0");
    EXPECT_EQ(records[1][6], "-"); // no volume at the keel, so no LCB
    EXPECT_EQ(records[3][0], "4.5");
    EXPECT_GT(std::stod(records[3][4]), 0);

    const CalcResult json = RunCalc(args + " --format json");
    ASSERT_EQ(json.status, 0) << json.err;
    CJsonValue report;
    ASSERT_TRUE(CJsonReader(json.out).Read(report)) << json.out;
    const CJsonValue* datums = report.Member("datums");
    const CJsonValue* curves = report.Member("curves");
    ASSERT_TRUE(datums && curves);
    EXPECT_EQ(datums->Member("heel_deg")->text, "5");
    ASSERT_EQ(curves->items.size(), 3u);
    for (const auto& o : curves->items)
        ASSERT_EQ(o.members.size(), 26u);
    EXPECT_EQ(curves->items[0].Member("LCB_m")->text, "null");
    EXPECT_EQ(curves->items[2].Member("T_m")->text, "4.5");
    EXPECT_NEAR(std::stod(curves->items[2].Member("volume_m3")->text), std::stod(records[3][4]),
                1e-5 * std::stod(records[3][4]));
    std::vector<std::vector<std::pair<std::string, std::string>>> objects;
    // The reader itself refuses what is not JSON.
    for (const char* bad : {"[{\"a\": nan}]", "[{\"a\": 1,}]", "[{\"a\": 01}]", "[{\"a\": -}]"}) {
        objects.clear();
        EXPECT_FALSE(CJsonReader(bad).ReadArrayOfObjects(objects)) << bad;
    }
}

TEST(CalcHydrostatics, RefusesBadInputNamingIt) {
    const struct {
        const char* args;
        int status;
        const char* says;
    } cases[] = {
        {" --draughts 3:1:0.5", 1, "FROM is above TO"},
        {" --draughts ''", 1, "empty"},
        {" --draughts 1,x", 1, "\"x\" is not a number"},
        {" --draughts 1:2:0", 1, "STEP must be above 0"},
        {" --draughts 2,-1", 1,
         "the draught -1 m puts the waterplane below the hull's lowest point"},
        {" --heel 90", 1, "less than 90 deg"},
        {" --ap 3 --fp 3", 1, "two stations"},
        {" --ap 3", 2, "--fp"},
        {" --lpp 20 --ap 0 --fp 20", 2, "--lpp"},
        {" --density -1", 1, "--density"},
        {" --density 0", 1, "--density"},
        {" --lpp 0", 1, "--lpp"},
        {" --heel nan", 1, "--heel"},
        {" --draughts 1,1e9", 1, "more than 1000 times the hull's depth"},
        {" --digits 0", 2, "--digits"},
        {" --digits 18", 2, "--digits"},
        {" --format xml", 2, "--format"},
        {" --heel abc", 2, "--heel"},
    };
    for (const auto& c : cases) {
        const CalcResult r = RunCalc(Hydrostatics("barge.nav") + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    const CalcResult missing = RunCalc("hydrostatics " + ShellQuote(TestPath("none.nav")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
}
