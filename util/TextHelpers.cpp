#include "util/TextHelpers.h"

#include <cstdio>

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

std::string formatDouble(double value) {
    char buffer[64];
    std::snprintf(buffer, sizeof buffer, "%g", value);
    return buffer;
}

}  // namespace pelorin
