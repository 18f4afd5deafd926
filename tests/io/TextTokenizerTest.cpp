#include "io/CTextTokenizer.h"

#include <gtest/gtest.h>

#include <clocale>
#include <cmath>

TEST(CTextTokenizer, NextTokenSplitsAtTabAndCrLf) {
    const std::string text = "1.5\t2\r\n 70\r\n\t3";
    CTextTokenizer tokens(text);
    EXPECT_EQ(tokens.NextToken(), "1.5");
    EXPECT_EQ(tokens.NextToken(), "2");
    EXPECT_EQ(tokens.NextToken(), " 70");
    EXPECT_EQ(tokens.NextToken(), ""); // TAB right after the line end
    EXPECT_EQ(tokens.NextToken(), "3");
    EXPECT_EQ(tokens.NextToken(), "");
    EXPECT_EQ(tokens.NextToken(), "");
    // A bare LF does not end a token: it stays inside.
    const std::string lf = "\n 70\n64";
    tokens.SetText(lf);
    EXPECT_EQ(tokens.NextToken(), lf);
}

TEST(CTextTokenizer, CountTokensStopsAtFirstEmptyToken) {
    const std::string text = "1\t2\t\t3";
    CTextTokenizer tokens(text);
    EXPECT_EQ(tokens.CountTokens(), 2);
    EXPECT_EQ(tokens.NextToken(), "3") << "counting leaves the position after the empty token";
    tokens.Reset();
    EXPECT_EQ(tokens.NextToken(), "1");
    const std::string lines = "0.5\r\n1\r\n2.5\r\n", empty;
    tokens.SetText(lines);
    EXPECT_EQ(tokens.CountTokens(), 3);
    tokens.SetText(empty);
    EXPECT_EQ(tokens.CountTokens(), 0);
}

// A token is one number, blanks around it aside, or it is refused: never
// read as 0 or as its first digits.
TEST(CTextTokenizer, ReadDoubleTakesOneNumberAndNothingElse) {
    const std::string text = "  12.5 \tabc\t\n 70\t7.5e2xyz\t0x10\t-0\t\t1";
    CTextTokenizer tokens(text);
    double v = -1;
    EXPECT_TRUE(tokens.ReadDouble(v));
    EXPECT_EQ(v, 12.5);
    for (int k = 0; k < 4; ++k) {
        v = -1;
        EXPECT_FALSE(tokens.ReadDouble(v)) << "token " << k + 2;
        EXPECT_EQ(v, 0.0);
    }
    EXPECT_TRUE(tokens.ReadDouble(v));
    EXPECT_TRUE(v == 0 && std::signbit(v));
    v = -1;
    EXPECT_FALSE(tokens.ReadDouble(v)); // the empty token
    EXPECT_EQ(v, 0.0);
}

TEST(CTextTokenizer, ReadDoubleUsesDecimalPointUnderCommaLocale) {
    ASSERT_NE(std::setlocale(LC_ALL, "it_IT.UTF-8"), nullptr)
        << "the it_IT.UTF-8 locale is missing";
    const std::string text = "12.5\t12,5";
    CTextTokenizer tokens(text);
    double point = 0, comma = -1;
    const bool pointRead = tokens.ReadDouble(point);
    const bool commaRead = tokens.ReadDouble(comma);
    std::setlocale(LC_ALL, "C");
    EXPECT_TRUE(pointRead);
    EXPECT_EQ(point, 12.5);
    EXPECT_FALSE(commaRead);
    EXPECT_EQ(comma, 0.0);
}
