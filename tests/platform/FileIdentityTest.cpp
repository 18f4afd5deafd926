#include "platform/FileIdentity.h"

#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <unistd.h>

namespace {

std::string Scratch(const std::string& name) {
    const auto dir = std::filesystem::path(BRELUND_TEST_OUTPUT_DIR) / "file-identity";
    std::filesystem::create_directories(dir);
    return (dir / name).string();
}

void Write(const std::string& path, const std::string& text) {
    std::ofstream(path, std::ios::binary | std::ios::trunc) << text;
}

} // namespace

TEST(CFileIdentity, TellsAnotherProgramsSaveFromTheFileReadEarlier) {
    const std::string path = Scratch("ship.nav");
    Write(path, "first");
    const CFileIdentity read = CFileIdentity::Of(path);
    ASSERT_TRUE(read.exists);
    EXPECT_EQ(CFileIdentity::Of(path), read);

    // Same length, rewritten in place a moment later.
    ::usleep(20000);
    Write(path, "other");
    EXPECT_NE(CFileIdentity::Of(path), read);

    // Replaced by rename, as a careful editor saves: another inode.
    const CFileIdentity before = CFileIdentity::Of(path);
    Write(path + ".new", "other");
    std::filesystem::rename(path + ".new", path);
    EXPECT_NE(CFileIdentity::Of(path), before);
}

TEST(CFileIdentity, FollowsLinksAndReportsAMissingFile) {
    const std::string path = Scratch("target.nav");
    const std::string link = Scratch("link.nav");
    Write(path, "ship");
    std::filesystem::remove(link);
    std::filesystem::create_symlink(path, link);
    EXPECT_EQ(CFileIdentity::Of(link), CFileIdentity::Of(path));
    EXPECT_FALSE(CFileIdentity::Of(Scratch("nothing-here.nav")).exists);
}
