#include "util/TextHelpers.h"

#include <charconv>

namespace pelorin {

std::size_t skipSpaces(std::string_view text) {
    std::size_t pos = 0;
    while (pos < text.size() && (text[pos] == ' ' || text[pos] == '\t')) ++pos;
    return pos;
}

std::string_view afterSpaces(std::string_view text) {
    return text.substr(skipSpaces(text));
}

std::vector<std::string_view> splitLine(std::string_view text, char delimiter) {
    std::vector<std::string_view> tokens;
    std::size_t pos = 0;
    while (pos < text.size()) {
        while (pos < text.size() && text[pos] == delimiter) ++pos;
        if (pos == text.size()) break;
        std::size_t end = text.find(delimiter, pos);
        if (end == std::string_view::npos) end = text.size();
        tokens.push_back(text.substr(pos, end - pos));
        pos = end;
    }
    return tokens;
}

std::string repeatChar(int count, char ch) {
    return count > 0 ? std::string(static_cast<std::size_t>(count), ch) : std::string();
}

// to_chars with a precision writes what printf does with "%g" in the C locale, without the
// cost of the format machinery; logs print thousands of numbers.
std::string formatDouble(double value) {
    constexpr int kSignificantDigits = 6;
    char buffer[64];
    const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                      std::chars_format::general, kSignificantDigits);
    return std::string(buffer, result.ptr);
}

}  // namespace pelorin
