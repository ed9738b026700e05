// The fast number converter against sscanf("%lf") itself: same match, same bits.
#include "util/ScanfDouble.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>
#include <string>
#include <vector>

namespace pelorin {
namespace {

constexpr double kSentinel = -12345.678;

void expectSameAsSscanf(const std::string& token) {
    double expected = kSentinel;
    const bool expectedMatch = std::sscanf(token.c_str(), "%lf", &expected) == 1;
    double actual = kSentinel;
    const bool actualMatch = ScanfDoubleConverter().convert(token, actual);
    ASSERT_EQ(actualMatch, expectedMatch) << "token \"" << token << "\"";
    ASSERT_EQ(std::memcmp(&actual, &expected, sizeof actual), 0)
        << "token \"" << token << "\": " << actual << " vs " << expected;
}

TEST(ScanfDoubleTest, EdgeCases) {
    // clang-format off
    const char* const tokens[] = {
        "", "-", "+", ".", "-.", "+.5e-3", "1e", "1e+", "1E-", "1e5x", "1.e5", "1.5.3", "e5", "0",
        "-0", "-0.0e0", "+0", "0e99999", "00012", "000.000123", "1,5", "\v1.0", "\f-2", "0x",
        "0x1p3", "0X1.8P-2", "0x.8", "-0x10", "0xg", "0x1p", "0x1p+", "00x1", "inf", "-INF",
        "infinity", "Infinity7", "infinit", "infx", "in", "nan", "-NaN", "nan(123)", "nan(",
        "nan(abc", "nan()", "nanx", "1e308", "1.7976931348623157e308", "1.7976931348623159e308",
        "1e309", "-1e400", "4.9e-324", "2.4703282292062327e-324", "2.4703282292062328e-324",
        "1e-400", "2.2250738585072011e-308", "2.2250738585072014e-308", "9007199254740992",
        "9007199254740993", "9007199254740995", "18446744073709551615", "18446744073709551616",
        "0.1", "0.30000000000000004", "123456789012345678901234567890", "1e22", "1e23", "8.5e-23",
        "3.0000000000000000000000000001", "-1.234567e+01", "1.0e+000", "7.0710678118654752e-01",
        "1e0", "12abc", "1e-5e3", "5.", "+-1", "--1",
    };
    // clang-format on
    for (const char* token : tokens) expectSameAsSscanf(token);
    for (const std::string& token :
         {std::string("-0.5\n"), std::string(800, '9'), "0." + std::string(400, '0') + "1",
          "1" + std::string(30, '0')})
        expectSameAsSscanf(token);
}

// Plain decimals in the shapes STL exporters write, plus the shapes around the fast path's
// limits (long mantissas, exponents near +-22, leading and trailing zeros).
std::string randomDecimal(std::mt19937_64& random) {
    std::string token;
    if (random() % 3 == 0) token += (random() % 2 == 0) ? "-" : "+";
    const int intDigits = static_cast<int>(random() % 12);
    const int fracDigits = static_cast<int>(random() % 22);
    for (int i = 0; i < intDigits; ++i) token += static_cast<char>('0' + random() % 10);
    if (random() % 4 != 0) token += '.';
    for (int i = 0; i < fracDigits; ++i) token += static_cast<char>('0' + random() % 10);
    if (random() % 2 == 0) {
        token += (random() % 2 == 0) ? 'e' : 'E';
        const int sign = static_cast<int>(random() % 3);
        if (sign == 1) token += '-';
        if (sign == 2) token += '+';
        token += std::to_string(random() % 40);
    }
    return token;
}

std::string randomJunk(std::mt19937_64& random) {
    static const char kAlphabet[] = "0123456789.eE+-xXpPinfaINFA()";
    std::string token;
    const int length = 1 + static_cast<int>(random() % 12);
    for (int i = 0; i < length; ++i) token += kAlphabet[random() % (sizeof kAlphabet - 1)];
    return token;
}

TEST(ScanfDoubleTest, GeneratedTokensMatchBitForBit) {
    std::mt19937_64 random(20261206);
    char printed[64];
    for (int i = 0; i < 200000; ++i) {
        expectSameAsSscanf(randomDecimal(random));
        expectSameAsSscanf(randomJunk(random));
        // Exporter output: %e and %.17g of arbitrary doubles.
        double value;
        const std::uint64_t bits = random();
        std::memcpy(&value, &bits, sizeof value);
        std::snprintf(printed, sizeof printed, (i % 2 == 0) ? "%e" : "%.17g", value);
        expectSameAsSscanf(printed);
        if (HasFatalFailure()) return;
    }
}

}  // namespace
}  // namespace pelorin
