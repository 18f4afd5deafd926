// Golden files: each folder under tests/golden holds a ship, the arguments
// of one brelund-calc command (args, run from that folder; @OUT@ stands for
// a drawing to write) and the expected output (expected.txt, and
// expected.dxf for a drawing); a variant of the command, args.NAME, expects
// expected.NAME (and expected.NAME.dxf). Any change of a printed digit shows
// up here as a diff. BRELUND_UPDATE_GOLDEN=1 rewrites the expected files
// instead.
#include "CalcRunner.h"

#include <filesystem>
#include <gtest/gtest.h>

namespace {

std::string ReadText(const std::string& path) {
    const auto bytes = ReadBytes(path);
    return std::string(bytes.begin(), bytes.end());
}

void WriteText(const std::string& path, const std::string& text) {
    WriteBytes(path, std::vector<unsigned char>(text.begin(), text.end()));
}

// Compares, or on request rewrites, one expected file; on a mismatch the
// actual output is kept in the build folder and the diff printed.
void Check(const std::string& expectedPath, const std::string& actual, const std::string& name) {
    if (std::getenv("BRELUND_UPDATE_GOLDEN")) {
        WriteText(expectedPath, actual);
        return;
    }
    const std::string expected = ReadText(expectedPath);
    if (expected == actual)
        return;
    const std::string actualPath = TestPath(name);
    WriteText(actualPath, actual);
    const std::string diff = TestPath(name + ".diff");
    std::system(("diff -u " + ShellQuote(expectedPath) + " " + ShellQuote(actualPath) + " > " +
                 ShellQuote(diff))
                    .c_str());
    ADD_FAILURE() << expectedPath << " differs from " << actualPath << ":\n"
                  << ReadText(diff).substr(0, 4000);
}

} // namespace

TEST(Golden, EveryCaseGivesItsExpectedOutput) {
    namespace fs = std::filesystem;
    const fs::path root = fs::path(BRELUND_SOURCE_DIR) / "tests" / "golden";
    int cases = 0;
    for (const auto& folder : fs::directory_iterator(root))
        for (const auto& entry : fs::directory_iterator(folder.path())) {
            const std::string file = entry.path().filename().string();
            if (file != "args" && file.rfind("args.", 0) != 0)
                continue;
            ++cases;
            // "args" expects expected.txt, "args.json" expected.json.
            const std::string variant = file == "args" ? "" : file.substr(4);
            const std::string expected = variant.empty() ? "expected.txt" : "expected" + variant;
            const std::string name = folder.path().filename().string() + variant;
            std::string args = ReadText(entry.path().string());
            while (!args.empty() && (args.back() == '\n' || args.back() == '\r'))
                args.pop_back();
            const std::string drawing = TestPath(name + ".dxf");
            std::remove(drawing.c_str());
            const auto at = args.find("@OUT@");
            if (at != std::string::npos)
                args.replace(at, 5, ShellQuote(drawing));
            const CalcResult r = RunCalc(args, folder.path().string());
            EXPECT_EQ(r.status, 0) << name << ": " << r.err;
            Check((folder.path() / expected).string(), r.out, name + ".txt");
            const fs::path expectedDrawing = folder.path() / ("expected" + variant + ".dxf");
            if (fs::exists(expectedDrawing) || at != std::string::npos)
                Check(expectedDrawing.string(), ReadText(drawing), name + ".out.dxf");
        }
    EXPECT_GE(cases, 22);
}
