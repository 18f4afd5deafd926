// brelund-calc report: the booklet's PDF read back with pdftotext holds the
// figures the other commands print for the same inputs, and every page is
// rendered for a person to look at.
#include "CalcRunner.h"

#include <filesystem>
#include <gtest/gtest.h>
#include <map>
#include <sstream>

namespace {

const std::string kBarge = ShellQuote(std::string(BRELUND_SOURCE_DIR) + "/samples/barge.nav");
const char* const kGood = "Partenza - criteri soddisfatti";
const char* const kBad = "Arrivo - criteri non soddisfatti";

std::string Shell(const std::string& command) {
    const std::string out = TestPath("shell.out");
    EXPECT_EQ(std::system((command + " >" + ShellQuote(out)).c_str()), 0) << command;
    const auto bytes = ReadBytes(out);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<std::string> Split(const std::string& text, char separator) {
    std::vector<std::string> parts;
    std::stringstream in(text);
    for (std::string part; std::getline(in, part, separator);)
        parts.push_back(part);
    return parts;
}

// The TSV table that starts with the header line holding first: its rows by
// column header.
std::vector<std::map<std::string, std::string>> Table(const std::string& tsv,
                                                      const std::string& first) {
    std::vector<std::map<std::string, std::string>> rows;
    const std::vector<std::string> lines = Split(tsv, '\n');
    for (std::size_t k = 0; k < lines.size(); ++k) {
        if (lines[k].rfind(first + "\t", 0) != 0)
            continue;
        const std::vector<std::string> header = Split(lines[k], '\t');
        for (std::size_t r = k + 1; r < lines.size() && !lines[r].empty(); ++r) {
            const std::vector<std::string> cells = Split(lines[r], '\t');
            std::map<std::string, std::string> row;
            for (std::size_t c = 0; c < header.size() && c < cells.size(); ++c)
                row[header[c]] = cells[c];
            rows.push_back(row);
        }
        break;
    }
    return rows;
}

// The pages (pdftotext's form feeds) after the title and the contents that
// hold text.
std::vector<std::string> PagesWith(const std::vector<std::string>& pages, const std::string& text) {
    std::vector<std::string> found;
    for (std::size_t k = 2; k < pages.size(); ++k)
        if (pages[k].find(text) != std::string::npos)
            found.push_back(pages[k]);
    return found;
}

bool AnyLineHolds(const std::string& text, std::initializer_list<std::string> parts) {
    for (const std::string& line : Split(text, '\n')) {
        bool all = true;
        for (const std::string& part : parts)
            all = all && line.find(part) != std::string::npos;
        if (all)
            return true;
    }
    return false;
}

} // namespace

TEST(CalcReport, TheBargesBookletHoldsTheCommandsFigures) {
    const std::string pdf = TestPath("barge-booklet.pdf");
    std::filesystem::remove(pdf);
    const CalcResult r = RunCalc("report " + kBarge + " -o " + ShellQuote(pdf));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(r.out, "");
    const std::string text = Shell("pdftotext -layout " + ShellQuote(pdf) + " -");
    std::vector<std::string> pages = Split(text, '\f');
    while (!pages.empty() && pages.back().find_first_not_of(" \n") == std::string::npos)
        pages.pop_back();
    ASSERT_GT(pages.size(), 10u);
    const std::string count = std::to_string(pages.size());
    for (std::size_t k = 0; k < pages.size(); ++k)
        EXPECT_NE(pages[k].find("Pagina " + std::to_string(k + 1) + " di " + count),
                  std::string::npos)
            << "page " << k + 1;
    EXPECT_NE(pages[0].find("barge"), std::string::npos);
    EXPECT_EQ(text.find("nan"), std::string::npos);

    // The contents: each section's line names the page it starts on.
    ASSERT_NE(pages[1].find("Indice"), std::string::npos);
    for (const std::string& title : std::vector<std::string>{
             "Dati principali", "Curve idrostatiche", "Curve incrociate di stabilità (KN)",
          "Tabelle casse", std::string("Condizione di carico: ") + kBad,
          std::string("Avaria: Locale di dritta allagato (") + kGood + ")"}) {
        bool listed = false;
        for (const std::string& line : Split(pages[1], '\n'))
            if (line.find(title) != std::string::npos) {
                listed = true;
                const int page = std::atoi(line.substr(line.find_last_of(' ') + 1).c_str());
                ASSERT_GT(page, 2) << line;
                ASSERT_LE(page, static_cast<int>(pages.size()));
                EXPECT_NE(pages[static_cast<std::size_t>(page - 1)].find(title), std::string::npos)
                    << title << " is not on page " << page;
            }
        EXPECT_TRUE(listed) << title;
    }

    // The curves of form: the deepest draught's row.
    const auto hydro = Table(RunCalc("hydrostatics " + kBarge).out, "T[m]");
    ASSERT_FALSE(hydro.empty());
    EXPECT_TRUE(AnyLineHolds(text, {hydro.back().at("T[m]"), hydro.back().at("KMt[m]"),
                                    hydro.back().at("KMl[m]")}));
    EXPECT_TRUE(AnyLineHolds(text, {hydro.back().at("T[m]"), hydro.back().at("Disp[t]"),
                                    hydro.back().at("LCB[m]")}));

    // Each condition as stability --weather gives it; the failing one says
    // so on its first page and on the criteria's.
    for (const char* condition : {kGood, kBad}) {
        const CalcResult s =
            RunCalc("stability " + kBarge + " --condition " + ShellQuote(condition) + " --weather");
        ASSERT_EQ(s.status, 0) << s.err;
        const std::vector<std::string> own =
            PagesWith(pages, std::string("Condizione di carico: ") + condition);
        ASSERT_GE(own.size(), 2u) << condition;
        std::string all;
        for (const std::string& page : own)
            all += page;
        const auto summary = Table(s.out, "Disp[t]").at(0);
        for (const char* key : {"Disp[t]", "GM0[m]", "KG[m]", "T0[m]", "GZmax[m]"})
            EXPECT_TRUE(AnyLineHolds(all, {"(" + std::string(key) + ")", summary.at(key)}))
                << condition << ": " << key << " " << summary.at(key);
        for (const auto& point : Table(s.out, "heel[deg]")) {
            if (point.at("heel[deg]") == "30") {
                EXPECT_TRUE(AnyLineHolds(all, {"30 ", point.at("GZ[m]"), point.at("KN[m]")}))
                    << condition;
            }
        }
        bool fails = false;
        for (const auto& c : Table(s.out, "criterion")) {
            const bool pass = c.at("result") == "pass";
            fails = fails || !pass;
            EXPECT_TRUE(AnyLineHolds(
                all, {c.at("value"), c.at("limit"), pass ? "superato" : "non superato"}))
                << condition << ": " << c.at("criterion");
        }
        EXPECT_EQ(fails, std::string(condition) == kBad);
        EXPECT_EQ(own[0].find("Esito: criteri NON superati") != std::string::npos, fails)
            << own[0];
    }

    // A damage case: its draughts and its outcome.
    const CalcResult d = RunCalc("damage " + kBarge + " --condition " + ShellQuote(kBad) +
                                 " --case 'Gavone di prua allagato'");
    ASSERT_EQ(d.status, 0) << d.err;
    const auto damaged = Table(d.out, "case").at(0);
    const std::vector<std::string> own =
        PagesWith(pages, std::string("Avaria: Gavone di prua allagato (") + kBad + ")");
    ASSERT_FALSE(own.empty());
    for (const char* key : {"T0[m]", "TA[m]", "GM0[m]", "lost[m^3]"})
        EXPECT_TRUE(AnyLineHolds(own[0], {"(" + std::string(key) + ")", damaged.at(key)}))
            << key << " " << damaged.at(key);
    EXPECT_EQ(damaged.at("result"), "floats");
    EXPECT_NE(own[0].find("Esito: la nave galleggia"), std::string::npos);

    // Every page as a picture.
    const std::string folder = BRELUND_SCREENSHOT_DIR;
    std::filesystem::create_directories(folder);
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        if (entry.path().filename().string().rfind("booklet-", 0) == 0)
            std::filesystem::remove(entry.path());
    Shell("pdftoppm -png -r 60 " + ShellQuote(pdf) + " " + ShellQuote(folder + "/booklet"));
    int pngs = 0;
    for (const auto& entry : std::filesystem::directory_iterator(folder))
        pngs += entry.path().filename().string().rfind("booklet-", 0) == 0;
    EXPECT_EQ(pngs, static_cast<int>(pages.size()));
}

TEST(CalcReport, ChoosesConditionsAndCasesAndRefusesUnknownNames) {
    const std::string pdf = TestPath("chosen.pdf");
    std::filesystem::remove(pdf);
    const CalcResult r = RunCalc("report " + kBarge + " --conditions " + ShellQuote(kGood) +
                                 " --damage none -o " + ShellQuote(pdf));
    ASSERT_EQ(r.status, 0) << r.err;
    const std::string text = Shell("pdftotext -layout " + ShellQuote(pdf) + " -");
    EXPECT_NE(text.find(std::string("Condizione di carico: ") + kGood), std::string::npos);
    EXPECT_EQ(text.find(kBad), std::string::npos);
    EXPECT_EQ(text.find("Avaria:"), std::string::npos);

    // A refusal names what is wrong and leaves the file as it was.
    const auto before = ReadBytes(pdf);
    const struct {
        std::string args;
        int status;
        const char* says;
    } cases[] = {
        {"--conditions nessuna", 1, "no loading condition 'nessuna' in "},
        {"--damage 'Gavone di prua allagato,falla'", 1, "no damage case 'falla' in "},
        {"--conditions " + ShellQuote(std::string(kGood) + ","), 2, "--conditions: a name is empty"},
    };
    for (const auto& c : cases) {
        const CalcResult refused =
            RunCalc("report " + kBarge + " " + c.args + " -o " + ShellQuote(pdf));
        EXPECT_EQ(refused.status, c.status) << c.args;
        EXPECT_NE(refused.err.find(c.says), std::string::npos) << refused.err;
        EXPECT_EQ(ReadBytes(pdf), before) << c.args;
    }
    const CalcResult same = RunCalc("report " + kBarge + " -o " + kBarge);
    EXPECT_EQ(same.status, 1);
    EXPECT_NE(same.err.find("same file as the ship"), std::string::npos) << same.err;
}
