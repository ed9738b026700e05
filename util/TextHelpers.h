// Small text helpers shared by the setting-file reader, the scene dumps and the STL reader.
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace pelorin {

// The longest line a reader buffers, in bytes without the line end; a longer line in a setting
// file or an STL file is a format error, so that no input can make a reader hold it whole.
inline constexpr std::size_t kMaxLineBytes = std::size_t{1} << 20;

// True when `text` begins with `prefix`.
inline bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Position of the first character of `text` that is neither a blank nor a tab
// (text.size() when there is none).
std::size_t skipSpaces(std::string_view text);

// `text` from its first character that is neither a blank nor a tab.
std::string_view afterSpaces(std::string_view text);

// Splits `text` at every `delimiter` byte. Leading, trailing and repeated delimiters give no
// empty tokens and nothing is trimmed. The views point into `text`.
std::vector<std::string_view> splitLine(std::string_view text, char delimiter);

// `count` copies of `ch`; empty for a count of 0 or less. The dumps indent with it.
std::string repeatChar(int count, char ch);

// Formats a double the way an output stream does by default (six significant digits, %g).
std::string formatDouble(double value);

}  // namespace pelorin
