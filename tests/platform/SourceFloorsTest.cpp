// The floors of the source tree: platform < geometry < io < model < calc <
// report < booklet < cli and ui. No source includes a header of a floor above its own (nor of
// its sibling at the top), and the engine (everything below the front ends)
// builds and runs without a display: it includes no Qt or OpenGL header
// (the view draws the model from outside).
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <map>
#include <regex>

namespace {

namespace fs = std::filesystem;

const fs::path& Sources() {
    static const fs::path src = fs::path(BRELUND_SOURCE_DIR) / "src";
    return src;
}

// Calls fn(file, line number, line) for every line of every file under
// the folders of src.
template <class Fn> int ForEachLine(std::initializer_list<const char*> folders, Fn&& fn) {
    int scanned = 0;
    for (const char* folder : folders) {
        const fs::path root = Sources() / folder;
        if (!fs::exists(root))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path());
            std::string line;
            for (int n = 1; std::getline(in, line); ++n)
                fn(entry.path(), n, line);
            ++scanned;
        }
    }
    return scanned;
}

// The floor of a folder of src; cli and ui stand side by side at the top.
const std::map<std::string, int> kFloors = {
    {"platform", 0}, {"geometry", 1}, {"io", 2}, {"model", 3},
    {"calc", 4},     {"report", 5},   {"booklet", 6}, {"cli", 7}, {"ui", 7}};

// The folder of src a path lies in; empty outside src.
std::string FolderOf(const fs::path& path) {
    const fs::path relative = path.lexically_normal().lexically_relative(Sources());
    if (relative.empty() || *relative.begin() == "..")
        return {};
    return relative.begin()->string();
}

} // namespace

TEST(EngineSources, IncludeNoQtOrOpenGLHeader) {
    const std::regex qtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]|Qt[A-Za-z]*/|GL/|OpenGL/))");
    std::string offenders;
    const int scanned = ForEachLine({"model", "geometry", "io", "calc", "report", "platform"},
                                    [&](const fs::path& file, int n, const std::string& line) {
                                        if (std::regex_search(line, qtInclude))
                                            offenders += file.string() + ":" + std::to_string(n) +
                                                         ": " + line + "\n";
                                    });
    EXPECT_GT(scanned, 20);
    EXPECT_TRUE(offenders.empty()) << offenders;
}

TEST(SourceFloors, NoIncludePointsUpAFloor) {
    const std::regex include(R"re(^\s*#\s*include\s*"([^"]+)")re");
    std::string offenders;
    int includes = 0;
    const int scanned =
        ForEachLine({"platform", "geometry", "io", "model", "calc", "report", "booklet", "cli",
                     "ui"},
                    [&](const fs::path& file, int n, const std::string& line) {
                        std::smatch m;
                        if (!std::regex_search(line, m, include))
                            return;
                        ++includes;
                        const std::string name = m[1];
                        // "folder/header.h" from src, or a header beside the file.
                        const fs::path beside = file.parent_path() / name;
                        const std::string to =
                            fs::exists(beside) ? FolderOf(beside) : FolderOf(Sources() / name);
                        const std::string from = FolderOf(file);
                        const auto f = kFloors.find(from), t = kFloors.find(to);
                        if (f == kFloors.end() || t == kFloors.end() || from == to)
                            return;
                        if (t->second >= f->second)
                            offenders += file.string() + ":" + std::to_string(n) + ": " + from +
                                         " includes " + to + ": " + line + "\n";
                    });
    EXPECT_GT(scanned, 100);
    EXPECT_GT(includes, 300);
    EXPECT_TRUE(offenders.empty()) << offenders;
}
