// The engine must build and run without a display: nothing under the model,
// geometry, calculation or platform folders may include a Qt or an OpenGL
// header (the view draws the model from outside).
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <regex>

TEST(EngineSources, IncludeNoQtOrOpenGLHeader) {
    namespace fs = std::filesystem;
    const std::regex qtInclude(R"(^\s*#\s*include\s*[<"](Q[A-Za-z]|Qt[A-Za-z]*/|GL/|OpenGL/))");
    std::string offenders;
    int scanned = 0;
    for (const char* folder : {"src/model", "src/geometry", "src/calc", "src/platform"}) {
        const fs::path root = fs::path(BRELUND_SOURCE_DIR) / folder;
        if (!fs::exists(root))
            continue;
        for (const auto& entry : fs::recursive_directory_iterator(root)) {
            if (!entry.is_regular_file())
                continue;
            std::ifstream in(entry.path());
            std::string line;
            for (int n = 1; std::getline(in, line); ++n)
                if (std::regex_search(line, qtInclude))
                    offenders +=
                        entry.path().string() + ":" + std::to_string(n) + ": " + line + "\n";
            ++scanned;
        }
    }
    EXPECT_GT(scanned, 20);
    EXPECT_TRUE(offenders.empty()) << offenders;
}
