#include "CalcRunner.h"

#include <algorithm>
#include <gtest/gtest.h>

namespace {
const std::string kBarge = std::string(BRELUND_SOURCE_DIR) + "/samples/barge.nav";

std::string Bonjean(const std::string& ship, const std::string& more) {
    return "bonjean " + ShellQuote(ship) +
           " --zstart 0 --zend 3 --dz 1 --station0 0 --station20 30" + more;
}

std::string Line(const std::string& text, int n) {
    std::size_t at = 0;
    for (int k = 0; k < n; ++k)
        at = text.find('\n', at) + 1;
    return text.substr(at, text.find('\n', at) - at);
}
} // namespace

TEST(CalcBonjean, PrintsTheAreasOrTheMomentsOfEveryStation) {
    CalcResult r = RunCalc(Bonjean(kBarge, " --extra 10 --extra 2.5"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 5);
    EXPECT_EQ(Line(r.out, 0).substr(0, 6), "\t0\t1\t2");
    EXPECT_EQ(Line(r.out, 0).substr(Line(r.out, 0).size() - 10), "\t20\t10\t2.5");
    // The barge is 8 m wide: 16 m^2 under 2 m at every inner station.
    EXPECT_EQ(Line(r.out, 3).substr(0, 8), "2\t16\t16\t");
    r = RunCalc(Bonjean(kBarge, " --table moments"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(Line(r.out, 3).substr(0, 8), "2\t16\t16\t"); // 16 x 2 / 2
    EXPECT_EQ(Line(r.out, 4).substr(0, 8), "3\t36\t36\t");
    // An empty --extra ends the list, like an empty line.
    r = RunCalc(Bonjean(kBarge, " --extra 10 --extra '' --extra 5"));
    EXPECT_EQ(Line(r.out, 0).substr(Line(r.out, 0).size() - 6), "\t20\t10");
}

TEST(CalcBonjean, RefusesNamingTheOptionsAndNeedsItsInputs) {
    CalcResult r = RunCalc("bonjean " + ShellQuote(kBarge) +
                           " --zstart 0 --zend 3 --dz 0 --station0 0 --station20 30");
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.err, "brelund-calc: --dz is 0 over a range of 3 m from --zstart to --zend\n");
    EXPECT_EQ(r.out, "");
    r = RunCalc("bonjean " + ShellQuote(kBarge) +
                " --zstart 0 --zend 3 --dz 1 --station0 -1 --station20 30");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("--station0 (-1) lies before the hull's first x (0)"), std::string::npos)
        << r.err;
    EXPECT_EQ(RunCalc("bonjean " + ShellQuote(kBarge) + " --zstart 0 --zend 3 --dz 1").status, 2);
    EXPECT_EQ(RunCalc(Bonjean(kBarge, " --table volumes")).status, 2);
    r = RunCalc(Bonjean(kBarge, " --sections " + ShellQuote(TestPath("no-folder/s.dxf"))));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST(CalcBonjean, RefusesAnAdditionalStationThatIsNotANumber) {
    for (const char* extra : {"abc", "1,5"}) {
        const CalcResult r = RunCalc(Bonjean(kBarge, std::string(" --extra 10 --extra ") + extra));
        EXPECT_EQ(r.status, 1);
        EXPECT_EQ(r.err, std::string("brelund-calc: --extra \"") + extra + "\" is not a number\n");
        EXPECT_EQ(r.out, "");
    }
    // Past an empty one, the list has ended: nothing there is read.
    EXPECT_EQ(RunCalc(Bonjean(kBarge, " --extra 10 --extra '' --extra abc")).out,
              RunCalc(Bonjean(kBarge, " --extra 10")).out);
}

TEST(CalcBonjean, WarnsOfAShipWithoutHullAndGoesOn) {
    const std::string empty = TestPath("empty.nav");
    WriteBytes(empty, std::vector<unsigned char>(12, 0));
    const CalcResult r = RunCalc(Bonjean(empty, ""));
    EXPECT_EQ(r.status, 0);
    EXPECT_EQ(r.err, "brelund-calc: warning: the ship has no hull element with vertices: its "
                     "main dimensions are taken as 0\n");
    EXPECT_EQ(Line(r.out, 4).substr(0, 6), "3\t0\t0\t");
}

TEST(CalcBonjean, DrawsTheSectionsOfEveryStation) {
    const std::string path = TestPath("sections.dxf");
    const CalcResult r = RunCalc(Bonjean(kBarge, " --extra 15 --sections " + ShellQuote(path)));
    ASSERT_EQ(r.status, 0) << r.err;
    const auto bytes = ReadBytes(path);
    const std::string text(bytes.begin(), bytes.end());
    std::size_t lines = 0;
    for (std::size_t at = text.find("LINE\r\n"); at != std::string::npos;
         at = text.find("LINE\r\n", at + 1))
        ++lines;
    EXPECT_GT(lines, 22u * 4);
    EXPECT_NE(text.find("  62\r\n1\r\n"), std::string::npos); // colour 1
    EXPECT_EQ(text.substr(text.size() - 3), "EOF");
}
