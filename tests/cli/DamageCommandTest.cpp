#include "CalcRunner.h"
#include "RecordReaders.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {

const std::string kBarge = ShellQuote(std::string(BRELUND_SOURCE_DIR) + "/samples/barge.nav");

// The sample barge with its fore peak and starboard room (disabled in the
// model) opened on the command line, 350 t of lightship at (15, 0, 2.5).
std::string Open(const std::string& compartments, const std::string& lightship = "350") {
    return "damage " + kBarge + " --open " + ShellQuote(compartments) + " --lightship " +
           lightship + " --lcg 15 --vcg 2.5";
}

} // namespace

TEST(CalcDamage, AShipThatSinksIsAResultAndStrictSaysSo) {
    // 650 t: 634 m^3 with the tank, within the hull's 720 but beyond what is
    // left with both spaces open (720 - 72 - 0.95 * 54 m^3).
    const CalcResult r = RunCalc(Open("gavone di prua,locale di dritta", "650"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 2) << r.out;
    EXPECT_NE(r.out.find("\ngavone di prua,locale di dritta\tsinks\tmarpol\t659.12\t596.7\t-\t"),
              std::string::npos)
        << r.out;
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
    const CalcResult strict = RunCalc(Open("gavone di prua,locale di dritta", "650") + " --strict");
    EXPECT_EQ(strict.status, 1);
    EXPECT_EQ(strict.out, r.out);
    EXPECT_EQ(strict.err, "brelund-calc: criteria not met: case 'gavone di prua,locale di "
                          "dritta': the ship sinks\n");
    // Afloat, the five sections, and the space it lost.
    const CalcResult afloat = RunCalc(Open("gavone di prua") + " --format json --strict");
    ASSERT_EQ(afloat.status, 0) << afloat.err;
    EXPECT_NE(afloat.out.find("\"result\": \"floats\""), std::string::npos) << afloat.out;
    EXPECT_NE(afloat.out.find("\"compartments\": [\n    {\"compartment\": \"gavone di prua\", "
                              "\"permeability\": 1, \"lost_volume_m3\": "),
              std::string::npos);
    EXPECT_NE(afloat.out.find("\"criteria\": ["), std::string::npos);
}

TEST(CalcDamage, RefusesWhatNamesNothingNamingIt) {
    const struct {
        std::string args;
        int status;
        const char* says;
    } cases[] = {
        {"damage " + kBarge + " --lightship 350 --lcg 15 --vcg 2.5", 2,
         "--case NAME|all or --open"},
        {Open("gavone di prua") + " --case all", 2, "--open"},
        {Open("peak"), 1, "--open: the ship has no compartment 'peak'"},
        {Open("gavone di prua,gavone di prua"), 1,
         "--open opens compartment 'gavone di prua' twice"},
        {Open("gavone di prua,"), 2, "--open: a compartment's name is empty"},
        {Open("gavone di prua") + " --criteria imo", 2, "--criteria 'imo' is none of marpol"},
        {"damage " + kBarge + " --condition 'Partenza - criteri soddisfatti' --case nessuno", 1,
         "no damage case 'nessuno' in "},
        {Open("gavone di prua", "-1"), 1, "--lightship (-1 t) must be a weight above 0"},
    };
    for (const auto& c : cases) {
        const CalcResult r = RunCalc(c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
}
