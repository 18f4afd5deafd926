#include "CalcRunner.h"

#include <csignal>
#include <fcntl.h>
#include <filesystem>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

namespace {

const std::string kBarge = std::string(BRELUND_SOURCE_DIR) + "/samples/barge.nav";
const std::string kTank = std::string(BRELUND_SOURCE_DIR) + "/samples/barge-tank.dxf";

std::string CopyOfBarge(const std::string& name) {
    const std::string path = TestPath(name);
    std::remove(path.c_str());
    WriteBytes(path, ReadBytes(kBarge));
    return path;
}

// Runs brelund-calc with a SIGINT already waiting for it, blocked, as if
// Ctrl-C were typed as it starts: the signal arrives the moment the command
// lets it in, before the calculation's first check.
CalcResult RunInterrupted(const std::vector<std::string>& args) {
    const std::string out = TestPath("interrupted.out"), err = TestPath("interrupted.err");
    std::vector<char*> argv = {const_cast<char*>(BRELUND_CALC)};
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    const pid_t pid = ::fork();
    if (pid == 0) {
        sigset_t interrupt;
        sigemptyset(&interrupt);
        sigaddset(&interrupt, SIGINT);
        ::sigprocmask(SIG_BLOCK, &interrupt, nullptr);
        ::signal(SIGINT, SIG_DFL);
        ::kill(::getpid(), SIGINT);
        const int o = ::open(out.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        const int e = ::open(err.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (o < 0 || e < 0 || ::dup2(o, 1) < 0 || ::dup2(e, 2) < 0)
            ::_exit(127);
        ::execv(BRELUND_CALC, argv.data());
        ::_exit(127);
    }
    int raw = 0;
    ::waitpid(pid, &raw, 0);
    const auto text = [](const std::string& path) {
        const auto bytes = ReadBytes(path);
        return std::string(bytes.begin(), bytes.end());
    };
    return {WIFEXITED(raw) ? WEXITSTATUS(raw) : -1, text(out), text(err)};
}

} // namespace

TEST(CalcFiles, SigintStopsACalculationWithNothingWritten) {
    const std::string ship = CopyOfBarge("interrupted.nav");
    const std::string drawing = TestPath("interrupted.dxf");
    const std::vector<std::vector<std::string>> commands = {
        {"upright", ship, "--dxf", drawing},
        {"inclined", ship, "--kind", "gz", "--trajectories", drawing},
        {"bonjean", ship, "--zstart", "0", "--zend", "3", "--dz", "0.5", "--station0", "0",
         "--station20", "30", "--sections", drawing},
        {"trim", ship, "--xg", "15", "--yg", "0", "--zg", "1", "--weight", "1000", "--tolerance",
         "0.001"},
        {"hydrostatics", ship},
        {"stability", ship, "--lightship", "300", "--lcg", "15", "--vcg", "2"},
    };
    for (const auto& args : commands) {
        WriteBytes(drawing, {'o', 'l', 'd', '\n'});
        const CalcResult r = RunInterrupted(args);
        EXPECT_EQ(r.status, 130) << args[0] << ": " << r.err;
        EXPECT_EQ(r.err, "brelund-calc: interrupted; nothing was written\n") << args[0];
        EXPECT_EQ(r.out, "") << args[0];
        EXPECT_EQ(ReadBytes(drawing), std::vector<unsigned char>({'o', 'l', 'd', '\n'})) << args[0];
    }
    for (const auto& entry :
         std::filesystem::directory_iterator(TestPath("").substr(0, TestPath("").rfind('/'))))
        EXPECT_EQ(entry.path().filename().string().find("interrupted.dxf.brelund-"),
                  std::string::npos)
            << entry.path();
}

TEST(CalcFiles, AnOutputThatIsTheShipIsRefused) {
    const std::string ship = CopyOfBarge("self.nav");
    const std::string link = TestPath("self-link.dxf");
    std::remove(link.c_str());
    ASSERT_EQ(::symlink(ship.c_str(), link.c_str()), 0);
    const auto before = ReadBytes(ship);
    for (const std::string& args :
         {"export " + ShellQuote(ship) + " scafo " + ShellQuote(ship),
          "upright " + ShellQuote(ship) + " --dxf " + ShellQuote(link),
          "inclined " + ShellQuote(ship) + " --trajectories " + ShellQuote(ship),
          "bonjean " + ShellQuote(ship) +
              " --zstart 0 --zend 1 --dz 1 --station0 0 --station20 30 --sections " +
              ShellQuote(link)}) {
        const CalcResult r = RunCalc(args);
        EXPECT_EQ(r.status, 1) << args;
        EXPECT_NE(r.err.find("same file as the ship"), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "") << args;
        EXPECT_EQ(ReadBytes(ship), before) << args;
    }
}

TEST(CalcFiles, InputsThatAreNotFilesAreRefusedAtOnce) {
    const std::string ship = CopyOfBarge("fifo-target.nav");
    const std::string fifo = TestPath("drawing.fifo");
    std::remove(fifo.c_str());
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // Nothing ever writes into the FIFO: a reader that waited would hang
    // (the runner's timeout would end the test as a failure).
    CalcResult r = RunCalc("add " + ShellQuote(ship) + " hull " + ShellQuote(fifo));
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("drawing.fifo"), std::string::npos) << r.err;
    r = RunCalc("list " + ShellQuote(fifo));
    EXPECT_EQ(r.status, 1);
    r = RunCalc("add " + ShellQuote(ship) + " hull " + ShellQuote(TestPath("")));
    EXPECT_EQ(r.status, 1) << r.err;
    std::remove(fifo.c_str());
}

TEST(CalcFiles, AnEditThroughALinkReachesTheShipAndAReadOnlyShipIsKept) {
    const std::string ship = CopyOfBarge("linked.nav");
    const std::string link = TestPath("link.nav");
    std::remove(link.c_str());
    ASSERT_EQ(::symlink(ship.c_str(), link.c_str()), 0);
    ASSERT_EQ(RunCalc("edit " + ShellQuote(link) + " 'cassa 1' --filling 0.25").status, 0);
    struct stat st;
    ASSERT_EQ(::lstat(link.c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_NE(RunCalc("list " + ShellQuote(ship)).out.find("\t0.25\n"), std::string::npos);

    ASSERT_EQ(::chmod(ship.c_str(), 0444), 0);
    const auto before = ReadBytes(ship);
    const CalcResult r = RunCalc("edit " + ShellQuote(ship) + " 'cassa 1' --filling 0.5");
    EXPECT_EQ(r.status, 1);
    EXPECT_NE(r.err.find("ship file is read-only"), std::string::npos) << r.err;
    EXPECT_EQ(ReadBytes(ship), before);
    ::chmod(ship.c_str(), 0644);
}

TEST(CalcFiles, AnEmptyOrLoopingPathIsOneLineNamingIt) {
    const std::string ship = CopyOfBarge("paths.nav");
    const std::string loop = TestPath("loop-a.nav"), other = TestPath("loop-b.nav");
    std::remove(loop.c_str());
    std::remove(other.c_str());
    ASSERT_EQ(::symlink(other.c_str(), loop.c_str()), 0);
    ASSERT_EQ(::symlink(loop.c_str(), other.c_str()), 0);
    const std::string q = ShellQuote(ship), l = ShellQuote(loop);
    const struct {
        std::string args, named;
    } cases[] = {
        {"add " + q + " hull ''", "\"\""},
        {"add '' hull " + ShellQuote(kTank), "\"\""},
        {"edit '' x", "\"\""},
        {"delete '' x", "\"\""},
        {"invert '' x", "\"\""},
        {"list ''", "\"\""},
        {"export " + q + " scafo ''", "\"\""},
        {"add " + l + " hull " + ShellQuote(kTank), loop},
        {"edit " + l + " x", loop},
        {"list " + l, loop},
        {"add " + q + " hull " + l, loop},
    };
    for (const auto& c : cases) {
        const CalcResult r = RunCalc(c.args);
        EXPECT_EQ(r.status, 1) << c.args << "\n" << r.err;
        EXPECT_EQ(r.err.rfind("brelund-calc: " + c.named + ": ", 0), 0u) << c.args << "\n" << r.err;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << c.args << "\n" << r.err;
    }
    EXPECT_EQ(ReadBytes(ship), ReadBytes(kBarge));
    // An empty name for a drawing to write is a usage error.
    for (const std::string& args :
         {"upright " + q + " --dxf ''", "inclined " + q + " --trajectories ''",
          "bonjean " + q +
              " --zstart 0 --zend 1 --dz 1 --station0 0 --station20 30 --sections ''"}) {
        const CalcResult r = RunCalc(args);
        EXPECT_EQ(r.status, 2) << args;
        EXPECT_NE(r.err.find("a file name is needed"), std::string::npos) << r.err;
    }
}
