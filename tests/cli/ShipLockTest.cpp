#include "CalcRunner.h"

#include "model/ShipFile.h"
#include "model/TestShips.h"
#include "platform/AtomicFile.h"

#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {
const std::string kWigley = std::string(BRELUND_SOURCE_DIR) + "/samples/wigley.nav";
}

TEST(ShipLock, AWriterOrReaderWaitsForTheOtherWriterAndGivesUpSayingWhy) {
    const std::string ship = TestPath("locked.nav");
    WriteBytes(ship, ReadBytes(kWigley));
    const auto before = ReadBytes(ship);
    // The lock is on the ship file itself: held here as an edit holds it.
    const int fd = ::open(ship.c_str(), O_RDONLY);
    ASSERT_GE(fd, 0);
    ASSERT_EQ(::flock(fd, LOCK_EX), 0);
    for (const std::string& command :
         {"edit " + ShellQuote(ship) + " 'cassa 1' --filling 0.2", "list " + ShellQuote(ship)}) {
        const CalcResult r = RunCalc(command, "", "BRELUND_LOCK_WAIT=0.3");
        EXPECT_EQ(r.status, 1) << command;
        EXPECT_NE(r.err.find("the ship is being changed by another process"), std::string::npos)
            << r.err;
    }
    EXPECT_EQ(ReadBytes(ship), before);
    ::close(fd);
    EXPECT_EQ(RunCalc("edit " + ShellQuote(ship) + " 'cassa 1' --filling 0.2").status, 0);
    // No lock file beside the ship.
    EXPECT_FALSE(std::filesystem::exists(TestPath(".locked.nav.lock")));
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
        const std::string weight = std::to_string(905 + 10 * (round % 10)); // no trailing zero
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
        // list shows the density, in t/m^3.
        const std::string weightCell = "\t0." + weight + "\t";
        EXPECT_NE(list.out.find(fillingCell), std::string::npos) << round << "\n" << list.out;
        EXPECT_NE(list.out.find(weightCell), std::string::npos) << round << "\n" << list.out;
    }
}

namespace {

// A ship of about 1.3 MB, so that a save written in place lasts long enough
// for the other commands to meet it.
void WriteBigShip(const std::string& path) {
    CShipModel ship;
    CShipElement* hull = ship.AddElement(kindHull);
    hull->SetName("scafo");
    AddGridBox(*hull, {0, 0, 0}, {100, 20, 10}, 200, 50, 25);
    StoreShipFile(ship, path);
}

std::string Text(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

} // namespace

TEST(ShipLock, EditsThroughTwoHardLinkedNamesAllLandAndNoReaderSeesAHalfWrittenShip) {
    const std::string folder = TestPath("hard-linked");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder + "/other");
    const std::string a = folder + "/a.nav", b = folder + "/other/b.nav";
    WriteBigShip(a);
    ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    const std::string calc = std::string("BRELUND_LOCK_WAIT=120 ") + BRELUND_CALC;
    const std::string tank = std::string(BRELUND_SOURCE_DIR) + "/samples/barge-tank.dxf";
    const std::string failures = folder + "/failures";
    std::string script;
    for (int i = 1; i <= 6; ++i)
        for (const char* name : {"a", "b"}) {
            const std::string ship = std::string(name) == "a" ? a : b;
            script += calc + " add " + ShellQuote(ship) + " tank " + ShellQuote(tank) +
                      " --density 1 --name " + name + std::to_string(i) + " >/dev/null 2>>" +
                      ShellQuote(failures) + " & ";
            script += calc + " list " + ShellQuote(ship) + " >/dev/null 2>>" +
                      ShellQuote(failures) + " || echo reader failed >>" + ShellQuote(failures) +
                      " & ";
        }
    script += "wait";
    ASSERT_EQ(std::system(script.c_str()), 0);
    EXPECT_EQ(Text(failures), "");
    const CalcResult list = RunCalc("list " + ShellQuote(b));
    ASSERT_EQ(list.status, 0) << list.err;
    for (int i = 1; i <= 6; ++i)
        for (const char* name : {"a", "b"})
            EXPECT_NE(list.out.find("tank\t" + std::string(name) + std::to_string(i) + "\t"),
                      std::string::npos)
                << name << i << "\n"
                << list.out;
    struct stat sa {
    }, sb{};
    ASSERT_EQ(::stat(a.c_str(), &sa), 0);
    ASSERT_EQ(::stat(b.c_str(), &sb), 0);
    EXPECT_EQ(sa.st_ino, sb.st_ino);
    EXPECT_EQ(sa.st_nlink, 2u);
}

TEST(ShipLock, ASaveInterruptedInPlaceIsPutBackThroughAnyNameAndSaidSo) {
    const std::string folder = TestPath("interrupted");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    const std::string a = folder + "/a.nav", b = folder + "/b.nav";
    WriteBytes(a, ReadBytes(kWigley));
    ASSERT_EQ(::link(a.c_str(), b.c_str()), 0);
    // As a save through a.nav killed halfway leaves it: the whole old ship
    // in the backup, the ship itself half overwritten.
    const int fd = ::open(a.c_str(), O_RDWR);
    ASSERT_GE(fd, 0);
    const std::string backup = InPlaceBackupPath(a, fd);
    WriteBytes(backup, ReadBytes(kWigley));
    ASSERT_EQ(::pwrite(fd, "\xff\xff\xff\xff\xff\xff\xff\xff", 8, 900), 8);
    ::close(fd);
    const CalcResult r = RunCalc("list " + ShellQuote(b));
    EXPECT_EQ(r.status, 0) << r.err;
    EXPECT_NE(r.err.find("warning: " + b + ": a save of this file was interrupted"),
              std::string::npos)
        << r.err;
    EXPECT_NE(r.err.find("put back from " + std::filesystem::path(backup).filename().string()),
              std::string::npos)
        << r.err;
    EXPECT_EQ(ReadBytes(a), ReadBytes(kWigley));
    EXPECT_FALSE(std::filesystem::exists(backup));
}

TEST(ShipLock, ALockLeavesNothingThatKeepsAnotherUserOut) {
    if (::geteuid() != 0)
        GTEST_SKIP() << "needs root to act as two other users";
    const std::string folder = TestPath("shared-folder");
    std::filesystem::remove_all(folder);
    std::filesystem::create_directories(folder);
    ASSERT_EQ(::chmod(folder.c_str(), 0777), 0);
    const std::string ship = folder + "/ship.nav";
    WriteBytes(ship, ReadBytes(kWigley));
    ASSERT_EQ(::chmod(ship.c_str(), 0666), 0);
    const auto as = [](int uid) {
        return "setpriv --reuid=" + std::to_string(uid) + " --regid=" + std::to_string(uid) +
               " --clear-groups ";
    };
    if (std::system((as(65534) + BRELUND_CALC + " --version >/dev/null 2>&1").c_str()) != 0)
        GTEST_SKIP() << "the user nobody cannot run " << BRELUND_CALC;
    // nobody, then daemon, each edits the ship the other has just saved.
    for (const auto& [uid, tank] : {std::pair{65534, "'cassa 1'"}, std::pair{1, "'cassa 2'"}}) {
        const CalcResult r =
            RunCalc("edit " + ShellQuote(ship) + " " + tank + " --filling 0.35", "", as(uid));
        EXPECT_EQ(r.status, 0) << uid << ": " << r.err;
    }
    const std::string out = RunCalc("list " + ShellQuote(ship)).out;
    int landed = 0;
    for (auto at = out.find("\t0.35\n"); at != std::string::npos; at = out.find("\t0.35\n", at + 1))
        ++landed;
    EXPECT_EQ(landed, 2) << out;
    const auto names = std::distance(std::filesystem::directory_iterator(folder),
                                     std::filesystem::directory_iterator());
    EXPECT_EQ(names, 1); // the ship alone, no lock file
}
