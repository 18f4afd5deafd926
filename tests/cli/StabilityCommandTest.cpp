#include "CalcRunner.h"
#include "RecordReaders.h"
#include "model/TestShips.h"

#include "model/CShipModel.h"
#include "model/ShipFile.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const std::string kSamples = std::string(BRELUND_SOURCE_DIR) + "/samples/";

// The sample barge (a 30 x 8 x 3 m box with a tank) with 350 t of
// lightship at (15, 0, 2.5).
std::string Barge(const std::string& vcg = "2.5", const std::string& lightship = "350") {
    return "stability " + ShellQuote(kSamples + "barge.nav") + " --lightship " + lightship +
           " --lcg 15 --vcg " + vcg;
}

} // namespace

TEST(CalcStability, PrintsTheCurveTheSummaryAndTheCriteriaAsThreeTables) {
    const CalcResult r = RunCalc(Barge());
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    const std::vector<std::string> blocks = Blocks(r.out, "\n\n");
    ASSERT_EQ(blocks.size(), 3u) << r.out;
    // 0 to 80 by 5: 17 heels, 30 and 40 among them, and those the
    // refinement of the curve added.
    EXPECT_GT(std::count(blocks[0].begin(), blocks[0].end(), '\n'), 1 + 17);
    for (int heel = 5; heel <= 80; heel += 5) {
        std::string row = "\n";
        row += std::to_string(heel);
        row += '\t';
        EXPECT_NE(blocks[0].find(row), std::string::npos) << heel;
    }
    EXPECT_EQ(blocks[0].substr(0, blocks[0].find('\n')),
              "heel[deg]\tGZ[m]\tKN[m]\tT[m]\ttrim[deg]\tLCG[m]\tTCG[m]\tVCG[m]");
    EXPECT_EQ(std::count(blocks[1].begin(), blocks[1].end(), '\n'), 2);
    EXPECT_EQ(blocks[1].substr(0, blocks[1].find('\t')), "Disp[t]");
    // 350 t plus the tank's 9.6 m^3 at 950 kg/m^3.
    EXPECT_NE(blocks[1].find("\n359.12\t"), std::string::npos) << blocks[1];
    EXPECT_EQ(blocks[2].substr(0, blocks[2].find('\n')),
              "criterion\tvalue\tlimit\tmargin\tunit\tresult");
    EXPECT_EQ(std::count(blocks[2].begin(), blocks[2].end(), '\n'), 7);
    EXPECT_NE(blocks[2].find("\nGM0\t"), std::string::npos);
    EXPECT_EQ(r.out.find("fail"), std::string::npos);
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
    // The same bytes every run.
    EXPECT_EQ(RunCalc(Barge()).out, r.out);
}

TEST(CalcStability, AddedHeelsAndTheFloodingAngleAreComputedAndPrinted) {
    const CalcResult r = RunCalc(Barge() + " --heels 0,10,20 --flooding-angle 35");
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string curve = r.out.substr(0, r.out.find("\n\n"));
    std::vector<std::string> heels;
    for (std::size_t at = curve.find('\n'); at != std::string::npos; at = curve.find('\n', at + 1))
        heels.push_back(curve.substr(at + 1, curve.find('\t', at + 1) - at - 1));
    // Those asked for and the required ones among the refinement's.
    std::size_t found = 0;
    for (const char* h : {"0", "10", "20", "30", "35", "40"})
        found = std::find(heels.begin() + static_cast<std::ptrdiff_t>(found), heels.end(), h) -
                heels.begin();
    EXPECT_EQ(heels.back(), "40");
    EXPECT_LT(found, heels.size());
    EXPECT_NE(r.out.find("\narea 0-35 deg (flooding)\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\narea 30-35 deg (flooding)\t"), std::string::npos);
}

TEST(CalcStability, CsvAndJsonParseBack) {
    const CalcResult csv = RunCalc(Barge() + " --format csv --digits 17");
    ASSERT_EQ(csv.status, 0) << csv.err;
    const std::vector<std::string> blocks = Blocks(csv.out, "\r\n\r\n");
    ASSERT_EQ(blocks.size(), 3u);
    const std::size_t widths[] = {8, 34, 6}, lines[] = {0, 2, 7};
    std::vector<std::vector<std::vector<std::string>>> tables;
    for (int k = 0; k < 3; ++k) {
        bool wellFormed = false;
        tables.push_back(ParseCsv(blocks[k], wellFormed));
        EXPECT_TRUE(wellFormed) << k;
        if (k > 0) {
            ASSERT_EQ(tables[k].size(), lines[k]) << k;
        }
        for (const auto& record : tables[k])
            EXPECT_EQ(record.size(), widths[k]) << k;
    }
    EXPECT_EQ(tables[2][6][0], "GM0");
    EXPECT_EQ(tables[2][6][5], "pass");

    const CalcResult json = RunCalc(Barge() + " --format json --digits 17");
    ASSERT_EQ(json.status, 0) << json.err;
    CJsonValue report;
    ASSERT_TRUE(CJsonReader(json.out).Read(report)) << json.out;
    ASSERT_EQ(report.kind, CJsonValue::object);
    ASSERT_EQ(report.members.size(), 3u);
    const CJsonValue* curve = report.Member("curve");
    const CJsonValue* summary = report.Member("summary");
    const CJsonValue* criteria = report.Member("criteria");
    ASSERT_TRUE(curve && summary && criteria);
    ASSERT_EQ(curve->items.size(), tables[0].size() - 1);
    std::size_t thirty = 0;
    while (thirty < curve->items.size() && curve->items[thirty].Member("heel_deg")->text != "30")
        ++thirty;
    ASSERT_LT(thirty, curve->items.size());
    // The same numbers as the CSV, every digit.
    EXPECT_EQ(curve->items[thirty].Member("GZ_m")->text, tables[0][thirty + 1][1]);
    ASSERT_EQ(summary->kind, CJsonValue::object);
    EXPECT_EQ(summary->members.size(), 34u);
    EXPECT_EQ(summary->Member("GM0_m")->text, tables[1][1][14]);
    ASSERT_EQ(criteria->items.size(), 6u);
    EXPECT_EQ(criteria->items[0].Member("criterion")->text, "area 0-30 deg");
    EXPECT_EQ(criteria->items[0].Member("result")->text, "pass");
}

TEST(CalcStability, StrictExitsOneWhenACriterionFails) {
    // G at 4.2 m, near the barge's metacentre (KMt 4.38 m): the curve is
    // too low and too short.
    const CalcResult lenient = RunCalc(Barge("4.2"));
    ASSERT_EQ(lenient.status, 0) << lenient.err;
    EXPECT_NE(lenient.out.find("\tfail\n"), std::string::npos) << lenient.out;
    EXPECT_EQ(lenient.err, "");
    const CalcResult strict = RunCalc(Barge("4.2") + " --strict");
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(strict.out, lenient.out); // the report either way
    EXPECT_NE(strict.err.find("criteria not met: "), std::string::npos) << strict.err;
    EXPECT_NE(strict.err.find("area 0-30 deg"), std::string::npos) << strict.err;
    // A condition that passes exits 0 under --strict.
    EXPECT_EQ(RunCalc(Barge() + " --strict").status, 0);
}

TEST(CalcStability, RefusesBadInputNamingIt) {
    const std::string ship = ShellQuote(kSamples + "barge.nav");
    const struct {
        std::string args;
        int status;
        const char* says;
    } cases[] = {
        {"stability " + ship + " --lcg 15 --vcg 2", 2, "--lightship"},
        {Barge("2.5", "-10"), 1, "--lightship (-10 t) must be a weight above 0"},
        {Barge("2.5", "abc"), 2, "--lightship"},
        {Barge() + " --tcg nan", 1, "--tcg"},
        {Barge() + " --tcg 1e308", 1, "--tcg (1e+308 m) lies more than 1000 times the hull's size"},
        {"stability " + ship + " --lightship 350 --lcg 1e308 --vcg 2", 1,
         "--lcg (1e+308 m) lies more than 1000 times the hull's size (30 m) off the hull"},
        {Barge("-4e4"), 1, "--vcg (-40000 m) lies more than 1000 times the hull's size"},
        {Barge() + " --heels 0:90:10", 1, "the heel 90 deg"},
        {Barge() + " --heels 40:0:5", 1, "FROM is above TO"},
        {Barge() + " --heels 0,x", 1, "\"x\" is not a number"},
        {Barge() + " --heels 0:5:80", 1, "a range is FROM:TO:STEP, as in 0:80:5"},
        {Barge() + " --heels 0:80:0", 1, "STEP must be above 0"},
        {Barge() + " --flooding-angle 0", 1, "--flooding-angle"},
        {Barge() + " --density 0", 1, "--density"},
        {Barge("2.5", "800"), 1, "the ship sinks"},
        {Barge() + " --format xml", 2, "--format"},
    };
    for (const auto& c : cases) {
        const CalcResult r = RunCalc(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    const CalcResult missing =
        RunCalc("stability " + ShellQuote(TestPath("none.nav")) + " --lightship 1 --lcg 0 --vcg 0");
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
}

TEST(CalcStability, ATanksNameStaysWithinItsRefusalsLine) {
    const std::string path = TestPath("odd-tank.nav");
    const std::string name("a\nb\0c", 5);
    {
        CShipModel ship;
        ship.AddElement(kindHull)->Append(BoxMesh(0, -4, 0, 30, 4, 3));
        auto* tank = static_cast<CTank*>(ship.AddElement(kindTank));
        tank->SetName(name);
        tank->Append(BoxMesh(10, -1.5, 0.5, 14, 1.5, 2.5));
        tank->SetSpecificWeight(950);
        tank->SetFillingRatio(0.4);
        StoreShipFile(ship, path);
    }
    // The load volume, read as stored, made larger than the tank: it lies
    // 25 bytes before the name (filling ratio, enabled flag, colour, length).
    auto bytes = ReadBytes(path);
    const auto at = std::search(bytes.begin(), bytes.end(), name.begin(), name.end());
    ASSERT_NE(at, bytes.end());
    const double load = 1000;
    std::memcpy(&*(at - 25), &load, sizeof load);
    WriteBytes(path, bytes);
    const CalcResult r =
        RunCalc("stability " + ShellQuote(path) + " --lightship 350 --lcg 15 --vcg 2.5");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "brelund-calc: tank 'a\\nb\\0c': its load volume 1000 m^3 does not fit its "
                     "volume 24 m^3\n");
}

TEST(CalcStability, AConditionGivesWhatItsValuesTypedAsOptionsGive) {
    // The sample barge, and a copy whose tank holds the condition's load.
    const std::string ship = TestPath("by-condition.nav"), edited = TestPath("by-options.nav");
    WriteBytes(ship, ReadBytes(kSamples + "barge.nav"));
    WriteBytes(edited, ReadBytes(kSamples + "barge.nav"));
    ASSERT_EQ(
        RunCalc("edit " + ShellQuote(edited) + " 'cassa 1' --density 0.9 --filling 0.6").status, 0);
    WriteBytes(TestPath("by-condition.conditions.json"), [] {
        const std::string text =
            R"({"format": 1, "conditions": [{"name": "C", "lightship": {"weight_t": 320, )"
            R"("lcg_m": 14.5, "tcg_m": 0.01, "vcg_m": 2.2}, "tanks": [{"tank": "cassa 1", )"
            R"("filling_ratio": 0.6, "density_t_m3": 0.9}], "water_density_t_m3": 1.02, )"
            R"("flooding_angle_deg": 35}]})";
        return std::vector<unsigned char>(text.begin(), text.end());
    }());
    const std::string typed = " --lightship 320 --lcg 14.5 --tcg 0.01 --density 1.02 "
                              "--flooding-angle 35 --heels 0:60:10 --digits 17";
    const CalcResult options = RunCalc("stability " + ShellQuote(edited) + typed + " --vcg 2.2");
    ASSERT_EQ(options.status, 0) << options.err;
    const CalcResult byName =
        RunCalc("stability " + ShellQuote(ship) + " --condition C --heels 0:60:10 --digits 17");
    ASSERT_EQ(byName.status, 0) << byName.err;
    EXPECT_EQ(byName.err, "");
    EXPECT_EQ(byName.out, options.out);
    // An option overrides the condition's value.
    const CalcResult higher = RunCalc("stability " + ShellQuote(ship) +
                                      " --condition C --heels 0:60:10 --digits 17 --vcg 2.6");
    ASSERT_EQ(higher.status, 0) << higher.err;
    EXPECT_EQ(higher.out, RunCalc("stability " + ShellQuote(edited) + typed + " --vcg 2.6").out);

    const CalcResult unknown = RunCalc("stability " + ShellQuote(ship) + " --condition D");
    EXPECT_EQ(unknown.status, 1);
    EXPECT_EQ(unknown.out, "");
    EXPECT_EQ(unknown.err, "brelund-calc: no loading condition 'D' in " +
                               TestPath("by-condition.conditions.json") + "\n");
}

TEST(CalcStability, TheShipsOpeningsGiveTheFloodingAngleWithOrWithoutACondition) {
    // The sample barge (T 1.5 m) with an air pipe 3 m to starboard, 1 m
    // above the water, and a weathertight hatch.
    const std::string ship = TestPath("opened.nav");
    WriteBytes(ship, ReadBytes(kSamples + "barge.nav"));
    const auto openings = [&](const std::string& pipeZ) {
        const std::string text =
            R"({"format": 1, "conditions": [{"name": "C", "lightship": {"weight_t": 350, )"
            R"("lcg_m": 15, "vcg_m": 2.5}}], "openings": [{"name": "air pipe", "x_m": 10, )"
            R"("y_m": 3, "z_m": )" +
            pipeZ +
            R"(}, {"name": "hatch", "x_m": 15, "y_m": 0, "z_m": 3, "weathertight": true}]})";
        WriteBytes(TestPath("opened.conditions.json"),
                   std::vector<unsigned char>(text.begin(), text.end()));
    };
    openings("2.5");
    const std::string inline_ =
        "stability " + ShellQuote(ship) + " --lightship 350 --lcg 15 --vcg 2.5 --heels 0:40:10";
    const CalcResult r = RunCalc(inline_);
    ASSERT_EQ(r.status, 0) << r.err;
    const std::vector<std::string> blocks = Blocks(r.out, "\n\n");
    ASSERT_EQ(blocks.size(), 4u) << r.out;
    const std::string summary = blocks[1];
    EXPECT_NE(summary.find("\tside\tflooding[deg]\tfloodingFrom\tfloodingOpening\n"),
              std::string::npos)
        << summary;
    EXPECT_NE(summary.find("\topening\tair pipe\n"), std::string::npos) << summary;
    EXPECT_EQ(blocks[3].substr(0, blocks[3].find('\n')),
              "opening\tweathertight\theight[m]\timmersionSB[deg]\timmersionPS[deg]");
    EXPECT_NE(blocks[3].find("\nhatch\tyes\t"), std::string::npos) << blocks[3];
    EXPECT_NE(blocks[2].find(" deg (flooding)\t"), std::string::npos) << blocks[2];
    // By the condition, the same; a typed angle overrides the openings.
    const CalcResult byName =
        RunCalc("stability " + ShellQuote(ship) + " --condition C --heels 0:40:10");
    EXPECT_EQ(byName.out, r.out);
    const CalcResult typed = RunCalc(inline_ + " --flooding-angle 30");
    ASSERT_EQ(typed.status, 0) << typed.err;
    EXPECT_NE(typed.out.find("\t30\ttyped\t-\n"), std::string::npos) << typed.out;

    // Under water upright, the pipe floods the ship before it heels.
    openings("1");
    const CalcResult wet = RunCalc(inline_);
    EXPECT_EQ(wet.status, 1);
    EXPECT_EQ(wet.out, "");
    EXPECT_EQ(wet.err, "brelund-calc: opening 'air pipe' lies 0.467516 m under the waterline "
                       "upright: the ship floods before it heels (an opening closed at sea is "
                       "weathertight; --flooding-angle gives the angle instead)\n");
    // Openings that cannot be read are no openings to leave out.
    WriteBytes(TestPath("opened.conditions.json"), {'{'});
    const CalcResult damaged = RunCalc(inline_);
    EXPECT_EQ(damaged.status, 1) << damaged.err;
    EXPECT_EQ(damaged.out, "");
}

TEST(CalcStability, WeatherCriterionFromTheHullsSide) {
    const CalcResult r = RunCalc(Barge() + " --weather --digits 17");
    ASSERT_EQ(r.status, 0) << r.err;
    // The last table: the barge's side above water and below it are its
    // whole side, 30 x 3 m.
    const std::size_t at = r.out.find("A[m^2]\tZ[m]");
    ASSERT_NE(at, std::string::npos) << r.out;
    const std::string values = r.out.substr(r.out.find('\n', at) + 1);
    double area = 0, lever = 0, d = 0;
    ASSERT_EQ(std::sscanf(values.c_str(), "%lf %lf %*f %*f %*f %*f %lf", &area, &lever, &d), 3);
    EXPECT_NEAR(area + 30 * d, 90, 1e-3);
    EXPECT_NE(r.out.find("weather: area b >= area a\t"), std::string::npos);
    // A gale the barge cannot stand fails it under --strict; a pressure
    // that is none is refused.
    const CalcResult gale = RunCalc(Barge() + " --weather --wind-pressure 5e5 --strict");
    EXPECT_EQ(gale.status, 1);
    EXPECT_NE(gale.err.find("weather: heel under steady wind theta0"), std::string::npos)
        << gale.err;
    const CalcResult none = RunCalc(Barge() + " --weather --wind-pressure 0");
    EXPECT_EQ(none.status, 1);
    EXPECT_EQ(none.err, "brelund-calc: --wind-pressure (0 Pa) must be a number above 0\n");
}
