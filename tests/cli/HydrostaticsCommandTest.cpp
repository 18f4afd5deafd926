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
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 11);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "T[m]\tV[m^3]\tDisp[t]\tLCB[m]\tTCB[m]\tKB[m]\tAwp[m^2]\tLCF[m]\tTCF[m]\tBMt[m]\t"
              "BMl[m]\tKMt[m]\tKMl[m]\tTPC[t/cm]\tMCT1cm[t*m/cm]\tLwl[m]\tBwl[m]\tS[m^2]\t"
              "Am[m^2]\tCb\tCp\tCm\tCwp");
    // The barge is a 30 x 8 x 3 m box: at 1.5 m V = 360 m^3, 369 t, TPC =
    // 1.025 * 240 / 100.
    EXPECT_NE(r.out.find("\n1.5\t360\t369\t15\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\t2.46\t"), std::string::npos);
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
    // The same bytes every run.
    EXPECT_EQ(RunCalc(Hydrostatics("barge.nav")).out, r.out);
}

TEST(CalcHydrostatics, CsvAndJsonParseBack) {
    const std::string args = Hydrostatics("wigley.nav") + " --draughts 0,2,4.5 --heel 5";
    const CalcResult csv = RunCalc(args + " --format csv --digits 17");
    ASSERT_EQ(csv.status, 0) << csv.err;
    bool wellFormed = false;
    const auto records = ParseCsv(csv.out, wellFormed);
    EXPECT_TRUE(wellFormed);
    ASSERT_EQ(records.size(), 4u);
    for (const auto& record : records)
        EXPECT_EQ(record.size(), 23u);
    EXPECT_EQ(records[0][0], "T[m]");
    EXPECT_EQ(records[1][0], "0");
    EXPECT_EQ(records[1][3], "-"); // no volume at the keel, so no LCB
    EXPECT_EQ(records[3][0], "4.5");
    EXPECT_GT(std::stod(records[3][1]), 0);

    const CalcResult json = RunCalc(args + " --format json");
    ASSERT_EQ(json.status, 0) << json.err;
    std::vector<std::vector<std::pair<std::string, std::string>>> objects;
    ASSERT_TRUE(CJsonReader(json.out).ReadArrayOfObjects(objects)) << json.out;
    ASSERT_EQ(objects.size(), 3u);
    for (const auto& o : objects)
        ASSERT_EQ(o.size(), 23u);
    EXPECT_EQ(objects[0][3], (std::pair<std::string, std::string>("LCB_m", "null")));
    EXPECT_EQ(objects[2][0], (std::pair<std::string, std::string>("T_m", "4.5")));
    EXPECT_EQ(objects[2][1].first, "volume_m3");
    EXPECT_NEAR(std::stod(objects[2][1].second), std::stod(records[3][1]),
                1e-5 * std::stod(records[3][1]));
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
        {" --draughts 2,-1", 1, "-1"},
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
