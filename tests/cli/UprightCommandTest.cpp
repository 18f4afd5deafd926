#include "CalcRunner.h"

#include <gtest/gtest.h>
#include <sstream>
#include <tuple>

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

TEST(CalcUpright, RefusesBadHeightsNamingTheOptions) {
    for (const auto& [args, message] :
         {std::pair{" --zmin 5 --zmax 1", "--zmin (5) is above --zmax (1)"},
          {" --dz 0", "--dz (0) is not above 0"},
          {" --dz -1", "--dz (-1) is not above 0"},
          {" --zmin 3 --zmax 3", "the range from --zmin to --zmax (0 m) is narrower than --dz"}}) {
        const CalcResult r = RunCalc("upright " + ShellQuote(kWigley) + args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_EQ(r.err.rfind(std::string("brelund-calc: ") + message, 0), 0u) << r.err;
        EXPECT_EQ(r.out, "");
    }
    EXPECT_EQ(RunCalc("upright " + ShellQuote(kWigley) + " --dz abc").status, 2);
    const CalcResult r = RunCalc("upright " + ShellQuote(kWigley) + " --dxf " +
                                 ShellQuote(TestPath("no-folder/w.dxf")));
    EXPECT_EQ(r.status, 1);
    EXPECT_EQ(r.out, "");
}

TEST(CalcUpright, ExactRuleRowIsTheCurvesOfFormsRecord) {
    // The Wigley sample's keel lies at z = 0, so z = 4 is the draught 4.
    const CalcResult up =
        RunCalc("upright " + ShellQuote(kWigley) + " --zmin 4 --zmax 5 --dz 1 --rule exact");
    const CalcResult cf = RunCalc("hydrostatics " + ShellQuote(kWigley) + " --draughts 4");
    ASSERT_EQ(up.status, 0) << up.err;
    ASSERT_EQ(cf.status, 0) << cf.err;
    const auto cells = [](const std::string& text, int line) {
        std::vector<double> values;
        std::istringstream rows(text);
        std::string row;
        for (int k = 0; k <= line; ++k)
            std::getline(rows, row);
        std::istringstream fields(row);
        std::string field;
        while (std::getline(fields, field, '\t'))
            values.push_back(std::strtod(field.c_str(), nullptr));
        return values;
    };
    // The record is the line after the datums' two and the curves' header.
    const std::vector<double> u = cells(up.out, 1), h = cells(cf.out, 4);
    // V, XB = LCB, ZB = KB, Af = Awp, Lwl, Bwl, S: the upright table rounds
    // to 4 decimals, the record prints 6 digits.
    for (const auto& [column, record, tolerance] : {std::tuple{2, 4, 0.01},
                                                    {5, 6, 1e-4},
                                                    {7, 8, 1e-4},
                                                    {8, 9, 1e-3},
                                                    {11, 18, 1e-3},
                                                    {12, 19, 1e-3},
                                                    {13, 20, 0.01}})
        EXPECT_NEAR(u[static_cast<std::size_t>(column)], h[static_cast<std::size_t>(record)],
                    tolerance)
            << column;
    EXPECT_EQ(u[5], 50);
    EXPECT_EQ(u[8], 523.905);
    // BMt and BMl: the record's, rounded as the table rounds them.
    EXPECT_NEAR(u[3], h[12], 1e-4);
    EXPECT_NEAR(u[4], h[13], 1e-3);
}
