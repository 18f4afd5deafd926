#include "CalcRunner.h"

#include <gtest/gtest.h>

namespace {
const std::string kWigley = std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav";
}

TEST(CalcUpright, PrintsTheTableWithLineFeedsAndTheOpeningDefaults) {
    const CalcResult r = RunCalc("upright " + ShellQuote(kWigley));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, ""); // no progress bar when stderr is not a terminal
    // Keel to deck, 10 m in steps of 2 m: a header and six rows, LF only.
    EXPECT_EQ(r.out.find('\r'), std::string::npos);
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 7);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "Z[m]\tZ rel[m]\tV[m^3]\tRx[m]\tRy[m]\tXB[m]\tYB[m]\tZB[m]\tAf[m^2]\txf[m]\tyf[m]\t"
              "Lwl[m]\tBwl[m]\tS[m^2]");
    EXPECT_NE(r.out.find("\n10\t10\t"), std::string::npos);
    EXPECT_EQ(r.out.back(), '\n');
}

TEST(CalcUpright, RefusesBadHeightsWithTheDialogsMessage) {
    for (const char* args : {" --zmin 5 --zmax 1", " --dz 0", " --dz -1", " --zmin 3 --zmax 3"}) {
        const CalcResult r = RunCalc("upright " + ShellQuote(kWigley) + args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find("Verificare il corretto inserimento dei dati relativi a zmin e zmax"),
                  std::string::npos)
            << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(RunCalc("upright " + ShellQuote(kWigley) + " --dz abc").status, 2);
    const CalcResult r = RunCalc("upright " + ShellQuote(kWigley) + " --dxf " +
                                 ShellQuote(TestPath("no-folder/w.dxf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}
