#include "platform/NumberText.h"

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>

namespace {
// Switches the whole process to Italian conventions (decimal comma), as the
// desktop application does, and back.
class CommaLocale : public ::testing::Test {
protected:
    void SetUp() override {
        if (std::setlocale(LC_ALL, "it_IT.UTF-8") == nullptr &&
            std::setlocale(LC_ALL, "it_IT.utf8") == nullptr)
            FAIL() << "the it_IT.UTF-8 locale is not installed (scripts/test.sh generates it)";
        char probe[16];
        std::snprintf(probe, sizeof probe, "%g", 1.5);
        ASSERT_STREQ(probe, "1,5") << "the locale does not use a decimal comma";
    }
    void TearDown() override { std::setlocale(LC_ALL, "C"); }
};
} // namespace

TEST_F(CommaLocale, FormattingKeepsTheDecimalPoint) {
    EXPECT_EQ(FormatC("%g", 1.5), "1.5");
    EXPECT_EQ(FormatC("%.10g", 9.6), "9.6");
    EXPECT_EQ(FormatC("%.4g", 1234.5678), "1235");
    EXPECT_EQ(FormatC("%.8f", 1.0), "1.00000000");
    EXPECT_EQ(FormatC("%1.8G", 123456789.0), "1.2345679E+08");
    EXPECT_EQ(FormatC("%1.8G", 0.5), "0.5");
    EXPECT_EQ(FormatC("%.3g|%i|%s", -0.00012345, 42, "x"), "-0.000123|42|x");
    // Longer than the small buffer.
    const std::string wide = FormatC("%300.2f", 3.25);
    EXPECT_EQ(wide.size(), 300u);
    EXPECT_EQ(wide.substr(296), "3.25");
}

TEST_F(CommaLocale, ParsingReadsTheDecimalPoint) {
    EXPECT_EQ(AtofC("2.75"), 2.75);
    EXPECT_EQ(std::atof("2.75"), 2.0); // what a plain atof does under this locale
    EXPECT_EQ(AtofC("\n  -1.5e3xyz"), -1500.0);
    EXPECT_EQ(AtofC("abc"), 0.0);
    EXPECT_EQ(AtofC(""), 0.0);
    char* end = nullptr;
    const char* text = "12.5;rest";
    EXPECT_EQ(StrtodC(text, &end), 12.5);
    EXPECT_EQ(*end, ';');
}
