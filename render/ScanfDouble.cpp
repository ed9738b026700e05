#include "render/ScanfDouble.h"

#include <langinfo.h>

#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>

namespace pelorin {
namespace {

// Mantissas up to 2^53 are exact doubles, and so are the powers of ten up to 1e22; their product
// or quotient is then correctly rounded by one IEEE operation (Clinger's fast path).
constexpr std::uint64_t kMaxExactMantissa = std::uint64_t{1} << 53;
constexpr int kMaxExactPowerOfTen = 22;
constexpr int kMaxMantissaDigits = 19;  // still fits in 64 bits
constexpr int kMaxExponentMagnitude = 9999;
constexpr std::size_t kStackTokenSize = 128;

constexpr double kPowersOfTen[kMaxExactPowerOfTen + 1] = {
    1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,  1e8,  1e9,  1e10, 1e11,
    1e12, 1e13, 1e14, 1e15, 1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

bool isDigit(char c) {
    return c >= '0' && c <= '9';
}

struct Decimal {
    bool negative = false;
    std::uint64_t mantissa = 0;
    int exponent = 0;  // value = mantissa * 10^exponent
};

// Reads the digits of the integer and fraction parts. False when a part is too long for the
// fast path or there is no digit at all.
bool readMantissa(std::string_view t, std::size_t& i, Decimal& d) {
    bool anyDigit = false;
    int digits = 0;
    bool inFraction = false;
    for (; i < t.size(); ++i) {
        const char c = t[i];
        if (c == '.' && !inFraction) {
            inFraction = true;
            continue;
        }
        if (!isDigit(c)) break;
        anyDigit = true;
        if (inFraction) --d.exponent;
        if (d.mantissa == 0 && c == '0') continue;  // leading zeros are not significant
        if (++digits > kMaxMantissaDigits) return false;
        d.mantissa = d.mantissa * 10 + static_cast<std::uint64_t>(c - '0');
    }
    return anyDigit;
}

// Reads an exponent part if there is one. False when it is malformed (sscanf would then fail or
// back off in its own way) or too large for the fast path.
bool readExponent(std::string_view t, std::size_t& i, Decimal& d) {
    if (i == t.size() || (t[i] != 'e' && t[i] != 'E')) return true;
    ++i;
    bool negative = false;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) negative = t[i++] == '-';
    if (i == t.size() || !isDigit(t[i])) return false;
    int magnitude = 0;
    for (; i < t.size() && isDigit(t[i]); ++i) {
        magnitude = magnitude * 10 + (t[i] - '0');
        if (magnitude > kMaxExponentMagnitude) return false;
    }
    d.exponent += negative ? -magnitude : magnitude;
    return true;
}

// The fast path: a plain decimal whose value one IEEE operation gives exactly. False means
// "not sure", never "not a number".
bool convertPlainDecimal(std::string_view t, double& value) {
    Decimal d;
    std::size_t i = 0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) d.negative = t[i++] == '-';
    if (!readMantissa(t, i, d) || !readExponent(t, i, d)) return false;
    // "0x..." is a hex float to sscanf; leave every such tail to it.
    if (i < t.size() && (t[i] == 'x' || t[i] == 'X')) return false;
    double magnitude;
    if (d.mantissa == 0) {
        magnitude = 0.0;
    } else if (d.mantissa > kMaxExactMantissa || d.exponent < -kMaxExactPowerOfTen ||
               d.exponent > kMaxExactPowerOfTen) {
        return false;
    } else {
        const double m = static_cast<double>(d.mantissa);
        magnitude = d.exponent < 0 ? m / kPowersOfTen[-d.exponent] : m * kPowersOfTen[d.exponent];
    }
    value = d.negative ? -magnitude : magnitude;
    return true;
}

bool convertWithSscanf(std::string_view token, double& value) {
    char stackCopy[kStackTokenSize];
    std::string heapCopy;
    const char* text = stackCopy;
    if (token.size() < kStackTokenSize) {
        std::memcpy(stackCopy, token.data(), token.size());
        stackCopy[token.size()] = '\0';
    } else {
        heapCopy.assign(token);
        text = heapCopy.c_str();
    }
    double converted;
    if (std::sscanf(text, "%lf", &converted) != 1) return false;
    value = converted;
    return true;
}

}  // namespace

ScanfDoubleConverter::ScanfDoubleConverter()
    : fastPathUsable_(std::strcmp(nl_langinfo(RADIXCHAR), ".") == 0) {}

bool ScanfDoubleConverter::convert(std::string_view token, double& value) const {
    if (fastPathUsable_ && convertPlainDecimal(token, value)) return true;
    return convertWithSscanf(token, value);
}

}  // namespace pelorin
