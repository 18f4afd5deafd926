#include "CalcRunner.h"

#include <algorithm>
#include <cctype>
#include <cstring>
#include <gtest/gtest.h>
#include <vector>

namespace {

const std::string kSamples = std::string(BRELUND_SOURCE_DIR) + "/samples/";

std::string Hydrostatics(const std::string& ship) {
    return "hydrostatics " + ShellQuote(kSamples + ship);
}

// RFC 4180 records: fields split on commas outside quotes, "" inside quotes
// a quote, CR LF after every record.
std::vector<std::vector<std::string>> ParseCsv(const std::string& text, bool& wellFormed) {
    std::vector<std::vector<std::string>> records(1, std::vector<std::string>(1));
    wellFormed = true;
    bool quoted = false;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (quoted) {
            if (c == '"' && i + 1 < text.size() && text[i + 1] == '"')
                records.back().back() += text[++i];
            else if (c == '"')
                quoted = false;
            else
                records.back().back() += c;
        } else if (c == '"') {
            quoted = true;
        } else if (c == ',') {
            records.back().emplace_back();
        } else if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') {
            ++i;
            records.emplace_back(1);
        } else if (c == '\r' || c == '\n') {
            wellFormed = false; // a bare line end outside quotes
        } else {
            records.back().back() += c;
        }
    }
    // After the final CR LF an empty record is left open.
    wellFormed = wellFormed && !quoted && records.back() == std::vector<std::string>(1);
    records.pop_back();
    return records;
}

// A strict JSON reader of just what the test needs: validates the whole
// text and keeps, for a top-level array of flat objects, each object's
// members as text (strings unescaped only for \" and \\).
class CJsonReader {
public:
    explicit CJsonReader(const std::string& text) : m_t(text) {}
    bool ReadArrayOfObjects(std::vector<std::vector<std::pair<std::string, std::string>>>& out) {
        Blank();
        if (!Eat('['))
            return false;
        Blank();
        if (!Eat(']')) {
            do {
                out.emplace_back();
                if (!Object(out.back()))
                    return false;
                Blank();
            } while (Eat(','));
            if (!Eat(']'))
                return false;
        }
        Blank();
        return m_i == m_t.size();
    }

private:
    bool Object(std::vector<std::pair<std::string, std::string>>& members) {
        Blank();
        if (!Eat('{'))
            return false;
        do {
            Blank();
            std::string key, value;
            if (!String(key))
                return false;
            Blank();
            if (!Eat(':'))
                return false;
            Blank();
            if (!Scalar(value))
                return false;
            members.emplace_back(key, value);
            Blank();
        } while (Eat(','));
        return Eat('}');
    }
    bool Scalar(std::string& value) {
        if (m_i < m_t.size() && m_t[m_i] == '"')
            return String(value);
        for (const char* word : {"null", "true", "false"})
            if (m_t.compare(m_i, std::strlen(word), word) == 0) {
                m_i += std::strlen(word);
                value = word;
                return true;
            }
        // -?(0|[1-9]d*)(.d+)?([eE][+-]?d+)?
        const std::size_t start = m_i;
        Eat('-');
        if (Eat('0')) {
        } else if (!Digits()) {
            return false;
        }
        if (Eat('.') && !Digits())
            return false;
        if (Eat('e') || Eat('E')) {
            if (!Eat('+'))
                Eat('-');
            if (!Digits())
                return false;
        }
        value = m_t.substr(start, m_i - start);
        return true;
    }
    bool String(std::string& out) {
        if (!Eat('"'))
            return false;
        while (m_i < m_t.size() && m_t[m_i] != '"') {
            if (static_cast<unsigned char>(m_t[m_i]) < 0x20)
                return false;
            if (m_t[m_i] == '\\')
                ++m_i;
            out += m_t[m_i++];
        }
        return Eat('"');
    }
    bool Digits() {
        const std::size_t start = m_i;
        while (m_i < m_t.size() && std::isdigit(static_cast<unsigned char>(m_t[m_i])))
            ++m_i;
        return m_i > start;
    }
    void Blank() {
        while (m_i < m_t.size() && std::strchr(" \t\r\n", m_t[m_i]) && m_t[m_i])
            ++m_i;
    }
    bool Eat(char c) {
        if (m_i < m_t.size() && m_t[m_i] == c) {
            ++m_i;
            return true;
        }
        return false;
    }
    std::string m_t;
    std::size_t m_i = 0;
};

} // namespace

TEST(CalcHydrostatics, PrintsTenDraughtsToTheDeckWithUnits) {
    const CalcResult r = RunCalc(Hydrostatics("barge.nav"));
    ASSERT_EQ(r.status, 0) << r.err;
    EXPECT_EQ(r.err, "");
    EXPECT_EQ(std::count(r.out.begin(), r.out.end(), '\n'), 11);
    EXPECT_EQ(r.out.substr(0, r.out.find('\n')),
              "T[m]\tV[m^3]\tDisp[t]\tLCB[m]\tTCB[m]\tKB[m]\tAwp[m^2]\tLCF[m]\tTCF[m]\tBMt[m]\t"
              "BMl[m]\tKMt[m]\tKMl[m]\tTPC[t/cm]\tMCT1cm[t*m/cm]\tLwl[m]\tBwl[m]\tS[m^2]\t"
              "Am[m^2]\tCb\tCp\tCm\tCwp");
    // The barge is a 30 x 8 x 3 m box: at 1.5 m V = 360 m^3, 369 t, TPC =
    // 1.025 * 240 / 100.
    EXPECT_NE(r.out.find("\n1.5\t360\t369\t15\t"), std::string::npos) << r.out;
    EXPECT_NE(r.out.find("\t2.46\t"), std::string::npos);
    EXPECT_EQ(r.out.find("nan"), std::string::npos);
    // The same bytes every run.
    EXPECT_EQ(RunCalc(Hydrostatics("barge.nav")).out, r.out);
}

TEST(CalcHydrostatics, CsvAndJsonParseBack) {
    const std::string args = Hydrostatics("wigley.nav") + " --draughts 0,2,4.5 --heel 5";
    const CalcResult csv = RunCalc(args + " --format csv --digits 17");
    ASSERT_EQ(csv.status, 0) << csv.err;
    bool wellFormed = false;
    const auto records = ParseCsv(csv.out, wellFormed);
    EXPECT_TRUE(wellFormed);
    ASSERT_EQ(records.size(), 4u);
    for (const auto& record : records)
        EXPECT_EQ(record.size(), 23u);
    EXPECT_EQ(records[0][0], "T[m]");
    EXPECT_EQ(records[1][0], "0");
    EXPECT_EQ(records[1][3], "-"); // no volume at the keel, so no LCB
    EXPECT_EQ(records[3][0], "4.5");
    EXPECT_GT(std::stod(records[3][1]), 0);

    const CalcResult json = RunCalc(args + " --format json");
    ASSERT_EQ(json.status, 0) << json.err;
    std::vector<std::vector<std::pair<std::string, std::string>>> objects;
    ASSERT_TRUE(CJsonReader(json.out).ReadArrayOfObjects(objects)) << json.out;
    ASSERT_EQ(objects.size(), 3u);
    for (const auto& o : objects)
        ASSERT_EQ(o.size(), 23u);
    EXPECT_EQ(objects[0][3], (std::pair<std::string, std::string>("LCB_m", "null")));
    EXPECT_EQ(objects[2][0], (std::pair<std::string, std::string>("T_m", "4.5")));
    EXPECT_EQ(objects[2][1].first, "volume_m3");
    EXPECT_NEAR(std::stod(objects[2][1].second), std::stod(records[3][1]),
                1e-5 * std::stod(records[3][1]));
    // The reader itself refuses what is not JSON.
    for (const char* bad : {"[{\"a\": nan}]", "[{\"a\": 1,}]", "[{\"a\": 01}]", "[{\"a\": -}]"}) {
        objects.clear();
        EXPECT_FALSE(CJsonReader(bad).ReadArrayOfObjects(objects)) << bad;
    }
}

TEST(CalcHydrostatics, RefusesBadInputNamingIt) {
    const struct {
        const char* args;
        int status;
        const char* says;
    } cases[] = {
        {" --draughts 3:1:0.5", 1, "FROM is above TO"},
        {" --draughts ''", 1, "empty"},
        {" --draughts 1,x", 1, "\"x\" is not a number"},
        {" --draughts 1:2:0", 1, "STEP must be above 0"},
        {" --draughts 2,-1", 1, "-1"},
        {" --density -1", 1, "--density"},
        {" --density 0", 1, "--density"},
        {" --lpp 0", 1, "--lpp"},
        {" --heel nan", 1, "--heel"},
        {" --draughts 1,1e9", 1, "more than 1000 times the hull's depth"},
        {" --digits 0", 2, "--digits"},
        {" --digits 18", 2, "--digits"},
        {" --format xml", 2, "--format"},
        {" --heel abc", 2, "--heel"},
    };
    for (const auto& c : cases) {
        const CalcResult r = RunCalc(Hydrostatics("barge.nav") + c.args);
        EXPECT_EQ(r.status, c.status) << c.args << ": " << r.err;
        EXPECT_NE(r.err.find(c.says), std::string::npos) << c.args << ": " << r.err;
        EXPECT_EQ(r.out, "") << c.args;
    }
    const CalcResult missing = RunCalc("hydrostatics " + ShellQuote(TestPath("none.nav")));
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.out, "");
}
