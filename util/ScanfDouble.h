// Converts one text token to a double exactly as the C library's sscanf(token, "%lf") does.
//
// STL files hold millions of numbers, and sscanf is slow. Plain decimals that can be converted
// exactly with one correctly rounded double operation are converted here; every other token
// (hex floats, inf, nan, long mantissas, large exponents, odd tails) goes to sscanf itself, so
// the result is bit for bit that of sscanf in every case.
#pragma once

#include <cstddef>
#include <string_view>

namespace pelorin {

class ScanfDoubleConverter {
  public:
    // Samples the decimal point of the current C locale: the fast path is taken only while it is
    // '.', which it is unless the program changes LC_NUMERIC.
    ScanfDoubleConverter();

    // What sscanf(token, "%lf", &value) does on the token alone: leading white space skipped, the
    // longest valid prefix read, the rest ignored. Returns true and writes `value` when a number
    // was read; returns false and leaves `value` unchanged when sscanf would match nothing.
    // No allocation for tokens of up to 127 bytes. Any thread.
    bool convert(std::string_view token, double& value) const;

    // The fast path alone, for a reader that has not yet looked for the token's end: when `text`
    // starts with a plain decimal that can be converted exactly, writes `value` and returns the
    // number of bytes it read (never 0). sscanf would read the same value from any token that
    // begins with `text`'s first bytes up to that point, whatever follows. Returns 0, writing
    // nothing, when only sscanf can tell: then call convert() on the whole token.
    std::size_t convertPrefix(std::string_view text, double& value) const;

    // As convert(), also telling how far sscanf read: returns the number of bytes of `token` that
    // "%lf" took (leading white space included), or 0 when it matched nothing.
    std::size_t convertCounted(std::string_view token, double& value) const;

  private:
    bool fastPathUsable_;
};

}  // namespace pelorin
