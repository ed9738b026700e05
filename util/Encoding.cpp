#include "util/Encoding.h"

#include <iconv.h>
#include <langinfo.h>
#include <locale.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <cstdlib>

namespace pelorin {
namespace {

// Bytes of the UTF-8 character at the start of `text` (1 for a broken sequence, so that a
// stray byte costs only itself). Other encodings step one byte.
std::size_t characterLength(const char* text, std::size_t left, bool utf8) {
    const auto lead = static_cast<unsigned char>(text[0]);
    std::size_t length = 1;
    if (utf8 && lead >= 0xF0 && lead < 0xF8)
        length = 4;
    else if (utf8 && lead >= 0xE0 && lead < 0xF0)
        length = 3;
    else if (utf8 && lead >= 0xC0 && lead < 0xE0)
        length = 2;
    if (length > left) return 1;
    for (std::size_t i = 1; i < length; ++i) {
        if ((static_cast<unsigned char>(text[i]) & 0xC0) != 0x80) return 1;
    }
    return length;
}

std::string upper(std::string_view text) {
    std::string result(text);
    std::transform(result.begin(), result.end(), result.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return result;
}

// "ja_JP.SJIS@euro" -> "SJIS", from the first of LC_ALL, LC_CTYPE and LANG that is set.
std::string codesetOfLocaleName() {
    for (const char* variable : {"LC_ALL", "LC_CTYPE", "LANG"}) {
        const char* value = std::getenv(variable);
        if (value == nullptr || *value == '\0') continue;
        std::string_view name(value);
        const std::size_t dot = name.find('.');
        if (dot == std::string_view::npos) return {};
        name = name.substr(dot + 1);
        return std::string(name.substr(0, name.find('@')));
    }
    return {};
}

}  // namespace

TextConverter::TextConverter(const char* to, const char* from)
    : descriptor_(iconv_open(to, from)), fromUtf8_(std::string_view(from) == "UTF-8") {}

TextConverter::~TextConverter() {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open reports failure as (iconv_t)-1
    if (descriptor_ != reinterpret_cast<iconv_t>(-1)) iconv_close(descriptor_);
}

std::string TextConverter::convert(std::string_view input) {
    std::lock_guard<std::mutex> lock(mutex_);
    const bool cacheable = input.size() <= kCachedTextBytes;
    if (cacheable) {
        const auto hit = cache_.find(input);
        if (hit != cache_.end()) return hit->second->converted;
    }
    std::string output = convertAfresh(input);
    if (cacheable && cache_.size() < kCachedTexts) {
        const Entry& entry = entries_.emplace_back(Entry{std::string(input), output});
        cache_.emplace(entry.text, &entry);
    }
    return output;
}

std::string TextConverter::convertAfresh(std::string_view input) {
    // NOLINTNEXTLINE(performance-no-int-to-ptr): iconv_open reports failure as (iconv_t)-1
    if (descriptor_ == reinterpret_cast<iconv_t>(-1)) return std::string(input);
    std::string output;
    output.resize(input.size() * 2 + 16);
    iconv(descriptor_, nullptr, nullptr, nullptr, nullptr);  // a fresh start for each text
    char* in = const_cast<char*>(input.data());
    std::size_t inLeft = input.size();
    std::size_t produced = 0;
    while (inLeft > 0) {
        char* out = output.data() + produced;
        std::size_t outLeft = output.size() - produced;
        const std::size_t rc = iconv(descriptor_, &in, &inLeft, &out, &outLeft);
        produced = output.size() - outLeft;
        if (rc != static_cast<std::size_t>(-1)) break;
        if (errno == E2BIG) {
            output.resize(output.size() * 2);
        } else {
            // An unconvertible or broken sequence: mark it and go on after that character.
            if (produced == output.size()) output.resize(output.size() * 2);
            output[produced++] = '?';
            const std::size_t skip = characterLength(in, inLeft, fromUtf8_);
            in += skip;
            inLeft -= skip;
        }
    }
    output.resize(produced);
    return output;
}

bool needsConversion(std::string_view utf8, TextEncoding encoding) {
    // Seven-bit text reads the same in both encodings; most log texts are such.
    return encoding != TextEncoding::Utf8 && std::any_of(utf8.begin(), utf8.end(), [](char c) {
               return static_cast<unsigned char>(c) >= 0x80;
           });
}

std::string encodeText(std::string_view utf8, TextEncoding encoding) {
    if (!needsConversion(utf8, encoding)) return std::string(utf8);
    return TextConverter("CP932", "UTF-8").convert(utf8);
}

std::string decodeCp932(std::string_view cp932) {
    return TextConverter("UTF-8", "CP932").convert(cp932);
}

bool isShiftJisCodeset(std::string_view codeset) {
    const std::string name = upper(codeset);
    for (const char* known : {"SJIS", "SHIFT_JIS", "SHIFT-JIS", "SHIFTJIS", "CP932", "WINDOWS-31J",
                              "MS932", "MS_KANJI", "CSSHIFTJIS"}) {
        if (name == known) return true;
    }
    return false;
}

TextEncoding consoleEncoding() {
    static const TextEncoding detected = [] {
        locale_t loc = newlocale(LC_CTYPE_MASK, "", static_cast<locale_t>(nullptr));
        if (loc == static_cast<locale_t>(nullptr)) {
            // The locale is named but not installed: its name still tells the codeset.
            return isShiftJisCodeset(codesetOfLocaleName()) ? TextEncoding::Cp932
                                                            : TextEncoding::Utf8;
        }
        const char* codeset = nl_langinfo_l(CODESET, loc);
        const bool sjis = codeset != nullptr && isShiftJisCodeset(codeset);
        freelocale(loc);
        return sjis ? TextEncoding::Cp932 : TextEncoding::Utf8;
    }();
    return detected;
}

}  // namespace pelorin
