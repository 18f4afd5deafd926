#include "CalcRunner.h"

#include <gtest/gtest.h>

namespace {

// A 4 x 3 x 2 box (24 m^3) as 8 vertices and 12 triangles, outward.
void BoxPayload(ByteBuilder& b) {
    b.I32(1).I32(8).I32(12);
    for (int k = 0; k < 8; ++k)
        b.Vertex(k & 1 ? 4 : 0, k & 2 ? 3 : 0, k & 4 ? 2 : 0);
    const int quads[6][4] = {{1, 3, 4, 2}, {5, 6, 8, 7}, {1, 2, 6, 5},
                             {3, 7, 8, 4}, {1, 5, 7, 3}, {2, 4, 8, 6}};
    for (const auto& q : quads)
        b.I32(q[0]).I32(q[1]).I32(q[2]).I32(q[0]).I32(q[2]).I32(q[3]);
}

// A ship file as another program following the layout writes it.
ByteBuilder ForeignShip() {
    ByteBuilder b;
    b.I32(2);
    b.Body(true, 0x808080, "scafo", 1);
    BoxPayload(b);
    b.Body(false, 255, "odd\tname\\with\r\nbreaks", 0);
    b.I32(1).F64(0.95).Body(true, 0xC00000, "sala", 1);
    b.I32(2).U8(1).I32(2).I32(2).Vertex(0, 0, 0).Vertex(1, 0, 0).Vertex(0, 1, 0).Vertex(1, 1, 0);
    b.I32(1).F64(1000).F64(9.6).F64(0.4).Body(true, 192, "cassa 1", 1);
    BoxPayload(b);
    return b;
}

} // namespace

TEST(CalcList, PrintsEveryElementOfAForeignShipFile) {
    const std::string path = TestPath("foreign.nav");
    WriteBytes(path, ForeignShip().bytes);
    const CalcResult r = RunCalc("list " + ShellQuote(path));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "kind\tname\tenabled\tmeshes\tfaces\tvolume\tcolour\tpermeability\t"
                     "density_t_m3\tload_volume\tfilling_ratio\n"
                     "hull\tscafo\t1\t1\t12\t24\t8421504\t\t\t\t\n"
                     "hull\todd\\tname\\\\with\\r\\nbreaks\t0\t0\t0\t0\t255\t\t\t\t\n"
                     "compartment\tsala\t1\t1\t1\t0\t12582912\t0.95\t\t\t\n"
                     "tank\tcassa 1\t1\t1\t12\t24\t192\t\t1\t9.6\t0.4\n");
}

TEST(CalcList, DamagedFilesExitOneWithOneLineAndNoOutput) {
    const auto whole = ForeignShip().bytes;
    const std::string path = TestPath("foreign-cut.nav");
    // Every truncation point of the file, byte by byte.
    for (std::size_t n = 0; n < whole.size(); ++n) {
        WriteBytes(path, std::vector<unsigned char>(whole.begin(), whole.begin() + n));
        const CalcResult r = RunCalc("list " + ShellQuote(path));
        ASSERT_EQ(r.status, 1) << "prefix of " << n << " bytes";
        ASSERT_EQ(r.out, "") << n;
        ASSERT_NE(r.err.find("foreign-cut.nav"), std::string::npos) << r.err;
        ASSERT_NE(r.err.find("damaged"), std::string::npos) << r.err;
        ASSERT_EQ(r.err.find('\n'), r.err.size() - 1) << "one line: " << r.err;
    }
    const CalcResult missing = RunCalc("list " + ShellQuote(TestPath("absent.nav")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_NE(missing.err.find("absent.nav"), std::string::npos);
}

TEST(CalcList, UsageErrorsExitTwoAndHelpDescribesTheCommands) {
    EXPECT_EQ(RunCalc("").status, 2);
    EXPECT_EQ(RunCalc("list").status, 2);
    EXPECT_EQ(RunCalc("frobnicate x.nav").status, 2);
    EXPECT_EQ(RunCalc("list a.nav b.nav").status, 2);
    const CalcResult help = RunCalc("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.out.find("list"), std::string::npos);
    const CalcResult listHelp = RunCalc("list --help");
    EXPECT_EQ(listHelp.status, 0);
    EXPECT_NE(listHelp.out.find("SHIP"), std::string::npos);
    const CalcResult version = RunCalc("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_NE(version.out.find("brelund-calc"), std::string::npos);
}
