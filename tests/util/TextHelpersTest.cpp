// The shared text helpers: splitting, blank skipping, indentation and number formatting.
#include "util/TextHelpers.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <random>

namespace pelorin {
namespace {

using Tokens = std::vector<std::string_view>;

TEST(SplitLineTest, DelimitersGiveNoEmptyTokensAndNothingIsTrimmed) {
    EXPECT_EQ(splitLine("   ", ' '), Tokens{});
    EXPECT_EQ(splitLine("  a  b   c  ", ' '), (Tokens{"a", "b", "c"}));
    EXPECT_EQ(splitLine("\ta b\n", ' '), (Tokens{"\ta", "b\n"}));
    EXPECT_EQ(splitLine("x,,y,", ','), (Tokens{"x", "y"}));
    const std::string withNul("a\0b c", 5);
    EXPECT_EQ(splitLine(withNul, ' '), (Tokens{std::string_view("a\0b", 3), "c"}));
}

TEST(SkipSpacesTest, BlanksAndTabsOnlyAndNoIndentBelowZero) {
    EXPECT_EQ(skipSpaces(" \t \tx y"), 4U);
    EXPECT_EQ(skipSpaces("\r x"), 0U);
    EXPECT_EQ(afterSpaces("\t  word "), "word ");
    EXPECT_EQ(repeatChar(-3, ' '), "");
    EXPECT_EQ(repeatChar(4, '-'), "----");
}

TEST(FormatDoubleTest, StreamDefaultForm) {
    EXPECT_EQ(formatDouble(1.0 / 3.0), "0.333333");
    EXPECT_EQ(formatDouble(INFINITY), "inf");
    // Whatever the value, the text is printf's "%g".
    std::mt19937_64 random(7);
    char printed[64];
    for (int i = 0; i < 200000; ++i) {
        double value;
        const std::uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        if (i % 2 == 1) value = std::ldexp(static_cast<double>(bits % 100000000), i % 90 - 60);
        std::snprintf(printed, sizeof printed, "%g", value);
        ASSERT_EQ(formatDouble(value), printed);
    }
}

}  // namespace
}  // namespace pelorin
