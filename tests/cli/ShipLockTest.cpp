#include "CalcRunner.h"

#include "platform/ShipLock.h"

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
    std::string calc = BRELUND_CALC;
    calc += " edit ";
    calc += ShellQuote(ship);
    for (int round = 1; round <= 10; ++round) {
        WriteBytes(ship, ReadBytes(kWigley));
        std::string filling = "0.";
        filling += std::to_string(round % 10);
        filling += '5';
        const std::string weight = std::to_string(900 + round);
        std::string both = calc;
        both += " 'cassa 1' --filling ";
        both += filling;
        both += " >/dev/null & ";
        both += calc;
        both += " 'cassa 2' --specific-weight ";
        both += weight;
        both += " >/dev/null & wait";
        ASSERT_EQ(std::system(both.c_str()), 0);
        const CalcResult list = RunCalc("list " + ShellQuote(ship));
        std::string fillingCell = "\t";
        fillingCell += filling;
        fillingCell += '\n';
        std::string weightCell = "\t";
        weightCell += weight;
        weightCell += '\t';
        EXPECT_NE(list.out.find(fillingCell), std::string::npos) << round << "\n" << list.out;
        EXPECT_NE(list.out.find(weightCell), std::string::npos) << round << "\n" << list.out;
    }
}
