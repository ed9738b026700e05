#include "setting/TransArguments.h"

#include <cctype>
#include <cmath>
#include <vector>

#include "scene/RotateTransform.h"
#include "util/ScanfDouble.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

constexpr std::string_view kTranslationWord = "TRANSLATION";
constexpr std::string_view kRotationWord = "ROTATION";
// The item list begins one character after the word, where "(" normally stands.
constexpr std::size_t kListSkip = 1;
constexpr char kItemSeparator = ',';

bool isWhiteSpace(char ch) {
    return std::isspace(static_cast<unsigned char>(ch)) != 0;
}

std::vector<std::string_view> itemsAfterWord(std::string_view value, std::string_view word) {
    const std::size_t listStart = word.size() + kListSkip;
    if (value.size() <= listStart) return {};
    return splitLine(value.substr(listStart), kItemSeparator);
}

// Axis token: an optional "-", then X, Y or Z; what follows the letter does not count.
bool readAxis(std::string_view token, TransArguments& spec) {
    std::size_t pos = 0;
    if (pos < token.size() && token[pos] == '-') {
        spec.inverted = true;
        ++pos;
    }
    if (pos >= token.size()) return false;
    switch (token[pos]) {
        case 'X':
            spec.axis = RotateTransform::kAxisX;
            return true;
        case 'Y':
            spec.axis = RotateTransform::kAxisY;
            return true;
        case 'Z':
            spec.axis = RotateTransform::kAxisZ;
            return true;
        default:
            return false;
    }
}

TransReadResult readTranslation(std::string_view value, int lineNumber, TransArguments& spec) {
    const auto items = itemsAfterWord(value, kTranslationWord);
    if (items.size() != 3 && items.size() != 4) return TransReadResult::FormatError;
    spec.kind = TransArguments::Kind::Translation;
    const std::size_t first = items.size() - 3;
    spec.name = first == 0 ? "TRANS_Line" + std::to_string(lineNumber) : readWord(items[0]);
    spec.x = readNumber(items[first]);
    spec.y = readNumber(items[first + 1]);
    spec.z = readNumber(items[first + 2]);
    return TransReadResult::Ok;
}

TransReadResult readRotation(std::string_view value, int lineNumber, TransArguments& spec) {
    const auto items = itemsAfterWord(value, kRotationWord);
    if (items.size() != 2 && items.size() != 3) return TransReadResult::FormatError;
    spec.kind = TransArguments::Kind::Rotation;
    const std::size_t first = items.size() - 2;
    spec.name = first == 0 ? "ROT_Line" + std::to_string(lineNumber) : readWord(items[0]);
    if (!readAxis(items[first], spec)) return TransReadResult::FormatError;
    spec.angle = readNumber(items[first + 1]);
    return TransReadResult::Ok;
}

}  // namespace

TransReadResult readTransArguments(std::string_view value, int lineNumber, TransArguments& spec) {
    spec = TransArguments();
    if (startsWith(value, kTranslationWord)) return readTranslation(value, lineNumber, spec);
    if (startsWith(value, kRotationWord)) return readRotation(value, lineNumber, spec);
    return TransReadResult::UnknownForm;
}

double readNumber(std::string_view text) {
    double value = 0.0;
    if (!ScanfDoubleConverter().convert(text, value) || !std::isfinite(value)) return 0.0;
    return value;
}

std::string readWord(std::string_view text) {
    std::size_t begin = 0;
    while (begin < text.size() && isWhiteSpace(text[begin])) ++begin;
    std::size_t end = begin;
    while (end < text.size() && !isWhiteSpace(text[end])) ++end;
    return std::string(text.substr(begin, end - begin));
}

}  // namespace pelorin
