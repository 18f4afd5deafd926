#include "support/ByteBuilder.h"

#include "platform/AtomicFile.h"
#include "platform/CFile.h"

#include <dirent.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

namespace {
int CountEntries(const std::string& folder) {
    int n = 0;
    DIR* d = opendir(folder.c_str());
    while (dirent* e = d ? readdir(d) : nullptr)
        n += e->d_name[0] != '.' || std::string(e->d_name).find(".tmp-") != std::string::npos;
    if (d)
        closedir(d);
    return n;
}
} // namespace

TEST(WriteFileAtomically, FailedWriteLeavesThePreviousFileWhole) {
    const std::string folder = TestPath("atomic");
    mkdir(folder.c_str(), 0755);
    const std::string path = folder + "/ship.nav";
    WriteBytes(path, {1, 2, 3});
    EXPECT_THROW(WriteFileAtomically(path,
                                     [](CFile& f) {
                                         f.Write("partial", 7);
                                         f.Fail(CFileException::diskFull, "no space left");
                                     }),
                 CFileException);
    EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{1, 2, 3}));
    EXPECT_EQ(CountEntries(folder), 1); // no temporary file left behind

    WriteFileAtomically(path, [](CFile& f) { f.Write("new", 3); });
    EXPECT_EQ(ReadBytes(path), (std::vector<unsigned char>{'n', 'e', 'w'}));
    EXPECT_EQ(CountEntries(folder), 1);
}

TEST(WriteFileAtomically, ReportsTheTargetNameAndKeepsItsMode) {
    const std::string folder = TestPath("atomic-mode");
    mkdir(folder.c_str(), 0755);
    const std::string path = folder + "/ship.nav";
    WriteBytes(path, {1});
    chmod(path.c_str(), 0640);
    WriteFileAtomically(path, [](CFile& f) { f.Write("x", 1); });
    struct stat st {};
    ASSERT_EQ(stat(path.c_str(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    try {
        WriteFileAtomically(path, [](CFile& f) { f.Fail(CFileException::generic, "boom"); });
        FAIL();
    } catch (const CFileException& e) {
        EXPECT_EQ(e.m_file_name, path);
    }
}
