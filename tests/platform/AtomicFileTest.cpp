#include "support/ByteBuilder.h"

#include "platform/AtomicFile.h"
#include "platform/CFile.h"
#include "platform/ShipLock.h"

#include <algorithm>
#include <csignal>
#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <random>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <sys/un.h>
#include <sys/wait.h>

namespace {

// Every name in folder but "." and "..", sorted.
std::vector<std::string> Entries(const std::string& folder) {
    std::vector<std::string> names;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr) {
        const std::string name = e->d_name;
        if (name != "." && name != "..")
            names.push_back(name);
    }
    if (d)
        closedir(d);
    std::sort(names.begin(), names.end());
    return names;
}

std::string NewFolder(const std::string& name) {
    const std::string folder = TestPath(name);
    EXPECT_EQ(mkdir(folder.c_str(), 0755), 0) << folder;
    return folder;
}

std::vector<unsigned char> Bytes(const std::string& text) {
    return std::vector<unsigned char>(text.begin(), text.end());
}

void Save(const std::string& path, const std::string& text, const AtomicWriteOptions& o = {}) {
    WriteFileAtomically(
        path, [&](CFile& f) { f.Write(text.data(), text.size()); }, o);
}

// The message of the CFileException a save of path raises; empty when none.
std::string Refusal(const std::string& path, const AtomicWriteOptions& o = {}) {
    try {
        Save(path, "new", o);
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_file_name, path);
        return e.what();
    }
    return "";
}

bool IsTemporaryOf(const std::string& name, const std::string& base) {
    const std::string prefix = "." + base + ".brelund-tmp-";
    return name.size() == prefix.size() + 6 && name.compare(0, prefix.size(), prefix) == 0;
}

} // namespace

TEST(WriteFileAtomically, FailedWriteLeavesThePreviousFileWhole) {
    const std::string folder = NewFolder("atomic");
    const std::string path = folder + "/ship.nav";
    WriteBytes(path, {1, 2, 3});
    for (bool unnamed : {true, false}) {
        EXPECT_THROW(WriteFileAtomically(path,
                                         [](CFile& f) {
                                             f.Write("partial", 7);
                                             f.Fail(CFileException::diskFull,
                                                    Verbatim("no space left"));
                                         },
                                         {.unnamedTemporary = unnamed}),
                     CFileException);
        EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{1, 2, 3}));
        EXPECT_EQ(Entries(folder), std::vector<std::string>{"ship.nav"}); // no temporary left
    }
    Save(path, "new");
    EXPECT_EQ(ReadBytes(path), Bytes("new"));
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"ship.nav"});
}

TEST(WriteFileAtomically, KeepsModeOwnerAndGroupAndReportsTheTargetName) {
    const std::string folder = NewFolder("atomic-mode");
    const std::string path = folder + "/ship.nav";
    for (bool unnamed : {true, false}) {
        WriteBytes(path, {1});
        chmod(path.c_str(), 0640);
        Save(path, "x", {.unnamedTemporary = unnamed});
        struct stat st {};
        ASSERT_EQ(stat(path.c_str(), &st), 0);
        EXPECT_EQ(st.st_mode & 07777, 0640u);
    }
    try {
        WriteFileAtomically(path,
                            [](CFile& f) { f.Fail(CFileException::generic, Verbatim("boom")); });
        FAIL();
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_file_name, path);
    }
    if (geteuid() != 0)
        GTEST_SKIP() << "giving a file to another owner needs root";
    // Another owner and group, and a set-group-id bit that changing the owner
    // would clear were the mode set first.
    ASSERT_EQ(chown(path.c_str(), 1234, 5678), 0);
    ASSERT_EQ(chmod(path.c_str(), 02750), 0);
    Save(path, "y");
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_uid, 1234u);
    EXPECT_EQ(st.st_gid, 5678u);
    EXPECT_EQ(st.st_mode & 07777, 02750u);
    EXPECT_EQ(ReadBytes(path), Bytes("y"));
}

TEST(WriteFileAtomically, FollowsSymbolicLinksAndReplacesTheFileInItsOwnFolder) {
    const std::string links = NewFolder("links"), data = NewFolder("data");
    const std::string target = data + "/hull.nav";
    WriteBytes(target, Bytes("old"));
    // links/first -> second -> ../PID-data/hull.nav, both relative.
    const std::string relative = "../" + data.substr(data.find_last_of('/') + 1) + "/hull.nav";
    ASSERT_EQ(symlink("second", (links + "/first").c_str()), 0);
    ASSERT_EQ(symlink(relative.c_str(), (links + "/second").c_str()), 0);
    Save(links + "/first", "new");
    struct stat st {};
    ASSERT_EQ(lstat((links + "/first").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    ASSERT_EQ(lstat((links + "/second").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(target), Bytes("new"));
    EXPECT_EQ(Entries(links), (std::vector<std::string>{"first", "second"}));
    EXPECT_EQ(Entries(data), std::vector<std::string>{"hull.nav"});

    // A dangling link gets the file it names.
    ASSERT_EQ(symlink("hull-2.nav", (data + "/next").c_str()), 0);
    Save(data + "/next", "fresh");
    ASSERT_EQ(lstat((data + "/next").c_str(), &st), 0);
    EXPECT_TRUE(S_ISLNK(st.st_mode));
    EXPECT_EQ(ReadBytes(data + "/hull-2.nav"), Bytes("fresh"));

    // A loop of links is refused.
    ASSERT_EQ(symlink("loop-b", (links + "/loop-a").c_str()), 0);
    ASSERT_EQ(symlink("loop-a", (links + "/loop-b").c_str()), 0);
    EXPECT_NE(Refusal(links + "/loop-a").find("symbolic links"), std::string::npos);
}

TEST(WriteFileAtomically, RefusesWhatIsNotARegularFileTouchingNothing) {
    const std::string folder = NewFolder("not-regular");
    const std::string dir = folder + "/dir", fifo = folder + "/fifo", sock = folder + "/sock";
    ASSERT_EQ(mkdir(dir.c_str(), 0755), 0);
    ASSERT_EQ(mkfifo(fifo.c_str(), 0644), 0);
    const int s = socket(AF_UNIX, SOCK_STREAM, 0);
    ASSERT_GE(s, 0);
    sockaddr_un addr{};
    addr.sun_family = AF_UNIX;
    ASSERT_LT(sock.size(), sizeof addr.sun_path);
    std::strcpy(addr.sun_path, sock.c_str());
    ASSERT_EQ(bind(s, reinterpret_cast<sockaddr*>(&addr), sizeof addr), 0);
    std::vector<std::pair<std::string, std::string>> cases = {
        {dir, "a directory"}, {fifo, "a FIFO"}, {sock, "a socket"}};
    const std::string device = folder + "/zero";
    const bool haveDevice =
        geteuid() == 0 && mknod(device.c_str(), S_IFCHR | 0666, makedev(1, 5)) == 0;
    if (haveDevice)
        cases.push_back({device, "a character device"});
    // Through a link, the message names the link's target.
    ASSERT_EQ(symlink("fifo", (folder + "/to-fifo").c_str()), 0);
    cases.push_back({folder + "/to-fifo", "its target " + fifo + " is a FIFO"});

    const auto before = Entries(folder);
    for (const auto& [path, kind] : cases) {
        for (bool unnamed : {true, false}) {
            const std::string message = Refusal(path, {.unnamedTemporary = unnamed});
            EXPECT_NE(message.find(kind), std::string::npos) << message;
            EXPECT_NE(message.find("not a regular file"), std::string::npos) << message;
        }
    }
    EXPECT_EQ(Entries(folder), before);
    EXPECT_TRUE(Entries(dir).empty());
    struct stat st {};
    ASSERT_EQ(lstat(fifo.c_str(), &st), 0);
    EXPECT_TRUE(S_ISFIFO(st.st_mode));
    if (haveDevice) {
        ASSERT_EQ(lstat(device.c_str(), &st), 0);
        EXPECT_TRUE(S_ISCHR(st.st_mode));
    }
    close(s);
}

TEST(WriteFileAtomically, RefusesAReadOnlyFileAsReadOnly) {
    const std::string folder = NewFolder("read-only");
    const std::string path = folder + "/ship.nav";
    WriteBytes(path, Bytes("kept"));
    ASSERT_EQ(chmod(path.c_str(), 0444), 0);
    EXPECT_NE(Refusal(path).find("file is read-only"), std::string::npos);
    EXPECT_NE(Refusal(path, {.kind = "drawing"}).find("drawing is read-only"), std::string::npos);
    EXPECT_EQ(ReadBytes(path), Bytes("kept"));
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"ship.nav"});
    // Writable again, it is saved.
    ASSERT_EQ(chmod(path.c_str(), 0644), 0);
    Save(path, "saved");
    EXPECT_EQ(ReadBytes(path), Bytes("saved"));
}

TEST(WriteFileAtomically, HardLinkedFileIsWrittenInPlaceKeepingItsLinks) {
    const std::string folder = NewFolder("hard-links");
    const std::string path = folder + "/ship.nav", other = folder + "/copy.nav";
    WriteBytes(path, Bytes(std::string(100000, 'o')));
    ASSERT_EQ(chmod(path.c_str(), 0604), 0);
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    struct stat before {};
    ASSERT_EQ(stat(path.c_str(), &before), 0);
    for (bool unnamed : {true, false}) {
        // Shorter than before: the file is cut to the new length.
        const std::string text = unnamed ? "short" : "shorter";
        Save(path, text, {.unnamedTemporary = unnamed});
        struct stat st {};
        ASSERT_EQ(stat(other.c_str(), &st), 0);
        EXPECT_EQ(st.st_ino, before.st_ino);
        EXPECT_EQ(st.st_nlink, 2u);
        EXPECT_EQ(st.st_mode & 07777, 0604u);
        EXPECT_EQ(ReadBytes(other), Bytes(text));
        EXPECT_EQ(Entries(folder), (std::vector<std::string>{"copy.nav", "ship.nav"}));
    }
    // A failed write changes neither name.
    EXPECT_THROW(
        WriteFileAtomically(
            path, [](CFile& f) { f.Fail(CFileException::diskFull, Verbatim("no space left")); }),
        CFileException);
    EXPECT_EQ(ReadBytes(path), Bytes("shorter"));
    EXPECT_EQ(Entries(folder), (std::vector<std::string>{"copy.nav", "ship.nav"}));
}

TEST(WriteFileAtomically, SaveKilledWhileWritingLeavesTheOldFile) {
    for (bool unnamed : {true, false}) {
        const std::string folder = NewFolder(unnamed ? "killed-unnamed" : "killed-named");
        const std::string path = folder + "/ship.nav";
        WriteBytes(path, Bytes("old"));
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            // Half a megabyte on the disk, then it waits to be killed.
            WriteFileAtomically(path,
                                [&](CFile& f) {
                                    const std::string chunk(1 << 16, 'n');
                                    for (int i = 0; i < 8; ++i)
                                        f.Write(chunk.data(), chunk.size());
                                    f.Flush();
                                    if (write(ready[1], "x", 1) == 1)
                                        pause();
                                },
                                {.unnamedTemporary = unnamed});
            _exit(0);
        }
        close(ready[1]);
        char c = 0;
        ASSERT_EQ(read(ready[0], &c, 1), 1);
        close(ready[0]);
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFSIGNALED(status));
        EXPECT_EQ(ReadBytes(path), Bytes("old"));
        const auto left = Entries(folder);
        if (unnamed) {
            EXPECT_EQ(left, std::vector<std::string>{"ship.nav"});
        } else {
            // The named temporary stays until the next save of the file.
            ASSERT_EQ(left.size(), 2u);
            EXPECT_TRUE(IsTemporaryOf(left[0], "ship.nav")) << left[0];
        }
        Save(path, "new", {.unnamedTemporary = unnamed});
        EXPECT_EQ(ReadBytes(path), Bytes("new"));
        EXPECT_EQ(Entries(folder), std::vector<std::string>{"ship.nav"});
    }
}

// A child saves a and b in turn to path until it is killed, after delay
// microseconds.
void KillWhileSaving(const std::string& path, const std::string& a, const std::string& b,
                     bool unnamed, int delay) {
    const pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        for (int i = 0;; ++i)
            Save(path, i % 2 ? a : b, {.unnamedTemporary = unnamed});
    }
    usleep(static_cast<useconds_t>(delay));
    kill(child, SIGKILL);
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
}

TEST(WriteFileAtomically, SaveKilledAtAnyInstantLeavesOneWholeVersion) {
    const std::string folder = NewFolder("killed-anywhere");
    const std::string path = folder + "/ship.nav";
    const std::string a(300000, 'a'), b(200000, 'b');
    WriteBytes(path, Bytes(a));
    std::mt19937 random(7);
    std::uniform_int_distribution<int> delay(0, 15000);
    for (int round = 0; round < 25; ++round) {
        KillWhileSaving(path, a, b, round % 2 == 0, delay(random));
        const auto content = ReadBytes(path);
        ASSERT_TRUE(content == Bytes(a) || content == Bytes(b)) << round << ": " << content.size();
        // At most the temporary of the save that was cut short.
        const auto left = Entries(folder);
        ASSERT_LE(left.size(), 2u);
        for (const std::string& name : left)
            EXPECT_TRUE(name == "ship.nav" || IsTemporaryOf(name, "ship.nav")) << name;
    }
    Save(path, "end");
    EXPECT_EQ(Entries(folder), std::vector<std::string>{"ship.nav"});
}

TEST(WriteFileAtomically, InPlaceSaveKilledAtAnyInstantIsPutBackByTheNextLock) {
    const std::string folder = NewFolder("killed-in-place");
    const std::string path = folder + "/ship.nav", other = folder + "/other.nav";
    const std::string a(300000, 'a'), b(200000, 'b');
    WriteBytes(path, Bytes(a));
    ASSERT_EQ(link(path.c_str(), other.c_str()), 0);
    std::mt19937 random(11);
    std::uniform_int_distribution<int> delay(0, 30000);
    int restored = 0;
    for (int round = 0; round < 25; ++round) {
        KillWhileSaving(path, a, b, round % 2 == 0, delay(random));
        // The next reader, through the other name, finds one whole version.
        const CShipLock lock(other, CShipLock::shared);
        restored += static_cast<int>(lock.Notes().size());
        const auto content = ReadBytes(other);
        ASSERT_TRUE(content == Bytes(a) || content == Bytes(b)) << round << ": " << content.size();
        for (const std::string& name : Entries(folder))
            EXPECT_TRUE(name == "ship.nav" || name == "other.nav" ||
                        IsTemporaryOf(name, "ship.nav"))
                << name;
    }
    // Most kills land in the copy, the longest step.
    EXPECT_GT(restored, 0);
}

TEST(RefuseSameFile, AnOutputThatIsAnInputByAnyRouteIsRefused) {
    const std::string folder = NewFolder("same-file");
    const std::string ship = folder + "/ship.nav", drawing = folder + "/out.dxf";
    WriteBytes(ship, Bytes("ship"));
    ASSERT_EQ(link(ship.c_str(), (folder + "/hard.dxf").c_str()), 0);
    ASSERT_EQ(symlink("ship.nav", (folder + "/soft.dxf").c_str()), 0);
    const std::string folderName = folder.substr(folder.find_last_of('/') + 1);
    for (const std::string& out : {ship, folder + "/hard.dxf", folder + "/soft.dxf",
                                   folder + "/../" + folderName + "/ship.nav"}) {
        try {
            RefuseSameFile(out, {{"drawing", drawing}, {"ship", ship}});
            ADD_FAILURE() << out << " was not refused";
        } catch (const CFileException& e) {
            EXPECT_EQ(e.m_file_name, out);
            EXPECT_NE(std::string(e.what()).find("same file as the ship " + ship),
                      std::string::npos)
                << e.what();
            EXPECT_NE(std::string(e.what()).find("refusing to overwrite it"), std::string::npos);
        }
    }
    // Another file, or one not there yet, passes; so does an input not there.
    WriteBytes(drawing, Bytes("ship"));
    EXPECT_NO_THROW(RefuseSameFile(drawing, {{"ship", ship}}));
    EXPECT_NO_THROW(RefuseSameFile(folder + "/new.dxf", {{"ship", ship}}));
    EXPECT_NO_THROW(RefuseSameFile(ship, {{"ship", folder + "/missing.nav"}}));
    EXPECT_EQ(ReadBytes(ship), Bytes("ship"));
}
