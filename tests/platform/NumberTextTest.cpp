#include "platform/NumberText.h"

#include <clocale>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <gtest/gtest.h>
#include <limits>

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

// Whatever reads a number from a text reads a decimal in the C conventions,
// under a decimal-comma locale too; nothing else passes for one.
TEST_F(CommaLocale, EveryTextIsReadAsOneDecimalNumberOrNone) {
    const double inf = std::numeric_limits<double>::infinity();
    const struct {
        const char* text;
        CNumberText kind;
        double value;
    } cases[] = {
        {"2.75", CNumberText::number, 2.75},
        {" \t-1.5e3 ", CNumberText::number, -1500},
        {"+3", CNumberText::number, 3},
        {"5.", CNumberText::number, 5},
        {"-.5", CNumberText::number, -0.5},
        {"00012E-1", CNumberText::number, 1.2},
        {"-1e-400", CNumberText::number, -0.0}, // too small: zero, with its sign
        {"4.9e-324", CNumberText::number, 4.9e-324},
        {"1e999", CNumberText::outOfRange, inf},
        {"-1E999", CNumberText::outOfRange, -inf},
        {"-Infinity", CNumberText::notFinite, -inf},
        {"INF", CNumberText::notFinite, inf},
        {"nan", CNumberText::notFinite, std::nan("")},
    };
    for (const auto& c : cases) {
        double value = 99;
        EXPECT_EQ(ReadNumberText(c.text, value), c.kind) << c.text;
        EXPECT_TRUE(std::isnan(c.value)
                        ? std::isnan(value)
                        : value == c.value && std::signbit(value) == std::signbit(c.value))
            << c.text << " gives " << value;
    }
    for (const char* text : {"0x10", "-0X1p3", "1,5", "12abc", "", "  ", "1e", "e5", ".", "+-1",
                             "- 1", "1 2", "nan(1)", "1.5\n"}) {
        double value = 99;
        EXPECT_EQ(ReadNumberText(text, value), CNumberText::notNumber) << text;
        EXPECT_EQ(value, 99) << text;
        EXPECT_FALSE(ParseNumberC(text, value)) << text;
    }
    double value = 99;
    EXPECT_FALSE(ParseNumberC("inf", value));
    EXPECT_TRUE(ParseNumberC(" 0.25", value));
    EXPECT_EQ(value, 0.25);
    EXPECT_EQ(NumberOr("abc", -1), -1);

    long long integer = 0;
    EXPECT_EQ(ReadIntegerText(" -42\t", integer), CNumberText::number);
    EXPECT_EQ(integer, -42);
    EXPECT_EQ(ReadIntegerText("+007", integer), CNumberText::number);
    EXPECT_EQ(integer, 7);
    EXPECT_EQ(ReadIntegerText("-99999999999999999999", integer), CNumberText::outOfRange);
    EXPECT_EQ(integer, std::numeric_limits<long long>::min());
    for (const char* text : {"1.0", "0x1", "1e3", "", "-", "12 3"})
        EXPECT_EQ(ReadIntegerText(text, integer), CNumberText::notNumber) << text;
}
