#include "CalcRunner.h"

#include "cli/ShipLock.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <unistd.h>

namespace {
const std::string kWigley = std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav";
}

TEST(ShipLock, AWriterWaitsForTheOtherAndGivesUpSayingWhy) {
    const std::string ship = TestPath("locked.nav");
    WriteBytes(ship, ReadBytes(kWigley));
    const auto before = ReadBytes(ship);
    const int fd = ::open(CShipLock::LockPath(ship).c_str(), O_RDWR | O_CREAT, 0644);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    const CalcResult r = RunCalc("edit " + ShellQuote(ship) + " 'cassa 1' --filling 0.2", "",
                                 "BRELUND_LOCK_WAIT=0.3");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("the ship is being changed by another process"), std::string::npos)
        << r.err;
    EXPECT_EQ(ReadBytes(ship), before);
    // Reading needs no lock.
    EXPECT_EQ(RunCalc("list " + ShellQuote(ship), "", "BRELUND_LOCK_WAIT=0.3").status, 0);
    ::close(fd);
    EXPECT_EQ(RunCalc("edit " + ShellQuote(ship) + " 'cassa 1' --filling 0.2").status, 0);
}

TEST(ShipLock, TwoEditsAtOnceBothLand) {
    const std::string ship = TestPath("two-writers.nav");
    const std::string calc = std::string(BRELUND_CALC) + " edit " + ShellQuote(ship);
    for (int round = 1; round <= 10; ++round) {
        WriteBytes(ship, ReadBytes(kWigley));
        const std::string a =
            calc + " 'cassa 1' --filling 0." + std::to_string(round % 10) + "5 >/dev/null";
        const std::string b =
            calc + " 'cassa 2' --specific-weight " + std::to_string(900 + round) + " >/dev/null";
        ASSERT_EQ(std::system((a + " & " + b + " & wait").c_str()), 0);
        const CalcResult list = RunCalc("list " + ShellQuote(ship));
        EXPECT_NE(list.out.find("\t0." + std::to_string(round % 10) + "5\n"), std::string::npos)
            << round << "\n"
            << list.out;
        EXPECT_NE(list.out.find("\t" + std::to_string(900 + round) + "\t"), std::string::npos)
            << round << "\n"
            << list.out;
    }
}
