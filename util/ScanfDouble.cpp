#include "util/ScanfDouble.h"

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
constexpr long kMaxFractionLength = 9999;  // keeps the exponent arithmetic far from overflow
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

// Digits from `p`, accumulated into `mantissa` (wrapping harmlessly when there are too many; the
// caller counts them and gives up).
const char* readDigits(const char* p, const char* end, std::uint64_t& mantissa) {
    while (p != end && isDigit(*p)) mantissa = mantissa * 10 + static_cast<unsigned>(*p++ - '0');
    return p;
}

const char* skipZeros(const char* p, const char* end) {
    while (p != end && *p == '0') ++p;
    return p;
}

// Reads the integer and fraction digits. Null when a part is too long for the fast path or there
// is no digit at all.
const char* readMantissa(const char* p, const char* end, Decimal& d) {
    const char* start = p;
    const char* significant = skipZeros(p, end);
    p = readDigits(significant, end, d.mantissa);
    long digits = p - significant;
    bool anyDigit = p != start;
    if (p != end && *p == '.') {
        const char* fraction = ++p;
        // With nothing significant yet, zeros after the point only scale the value.
        if (digits == 0) p = skipZeros(p, end);
        const char* fractionDigits = p;
        p = readDigits(p, end, d.mantissa);
        digits += p - fractionDigits;
        if (p - fraction > kMaxFractionLength) return nullptr;
        d.exponent = -static_cast<int>(p - fraction);
        anyDigit = anyDigit || p != fraction;
    }
    if (!anyDigit || digits > kMaxMantissaDigits) return nullptr;
    return p;
}

// Reads an exponent part if there is one. Null when it is malformed (sscanf would then fail or
// back off in its own way) or too large for the fast path.
const char* readExponent(const char* p, const char* end, Decimal& d) {
    if (p == end || (*p != 'e' && *p != 'E')) return p;
    ++p;
    bool negative = false;
    if (p != end && (*p == '+' || *p == '-')) negative = *p++ == '-';
    if (p == end || !isDigit(*p)) return nullptr;
    int magnitude = 0;
    for (; p != end && isDigit(*p); ++p) {
        magnitude = magnitude * 10 + (*p - '0');
        if (magnitude > kMaxExponentMagnitude) return nullptr;
    }
    d.exponent += negative ? -magnitude : magnitude;
    return p;
}

// The fast path: a plain decimal whose value one IEEE operation gives exactly. Returns where the
// number ends, or null for "not sure" (never "not a number").
const char* convertPlainDecimal(const char* p, const char* end, double& value) {
    Decimal d;
    if (p != end && (*p == '+' || *p == '-')) d.negative = *p++ == '-';
    p = readMantissa(p, end, d);
    if (p != nullptr) p = readExponent(p, end, d);
    // "0x..." is a hex float to sscanf; leave every such tail to it.
    if (p == nullptr || (p != end && (*p == 'x' || *p == 'X'))) return nullptr;
    double magnitude;
    if (d.mantissa == 0) {
        magnitude = 0.0;
    } else if (d.mantissa > kMaxExactMantissa || d.exponent < -kMaxExactPowerOfTen ||
               d.exponent > kMaxExactPowerOfTen) {
        return nullptr;
    } else {
        const double m = static_cast<double>(d.mantissa);
        magnitude = d.exponent < 0 ? m / kPowersOfTen[-d.exponent] : m * kPowersOfTen[d.exponent];
    }
    value = d.negative ? -magnitude : magnitude;
    return p;
}

// sscanf on a terminated copy of the token; returns how many bytes "%lf" took, 0 for no match.
std::size_t convertWithSscanf(std::string_view token, double& value) {
    char stackCopy[kStackTokenSize];
    std::string heapCopy;
    const char* text = stackCopy;
    if (token.size() < kStackTokenSize) {
        // An empty view may hold no pointer at all, which memcpy must not be given.
        if (!token.empty()) std::memcpy(stackCopy, token.data(), token.size());
        stackCopy[token.size()] = '\0';
    } else {
        heapCopy.assign(token);
        text = heapCopy.c_str();
    }
    double converted;
    int used = 0;
    if (std::sscanf(text, "%lf%n", &converted, &used) != 1) return 0;
    value = converted;
    return static_cast<std::size_t>(used);
}

}  // namespace

ScanfDoubleConverter::ScanfDoubleConverter()
    : fastPathUsable_(std::strcmp(nl_langinfo(RADIXCHAR), ".") == 0) {}

std::size_t ScanfDoubleConverter::convertPrefix(std::string_view text, double& value) const {
    if (!fastPathUsable_) return 0;
    const char* stop = convertPlainDecimal(text.data(), text.data() + text.size(), value);
    return stop == nullptr ? 0 : static_cast<std::size_t>(stop - text.data());
}

bool ScanfDoubleConverter::convert(std::string_view token, double& value) const {
    return convertCounted(token, value) > 0;
}

std::size_t ScanfDoubleConverter::convertCounted(std::string_view token, double& value) const {
    const std::size_t used = convertPrefix(token, value);
    return used > 0 ? used : convertWithSscanf(token, value);
}

}  // namespace pelorin
