// Conversion of the program's own texts (kept as UTF-8 in the source) to the encoding of the
// place they are written to.
#pragma once

#include <cstddef>
#include <deque>
#include <mutex>
#include <string>
#include <string_view>
#include <unordered_map>

namespace pelorin {

enum class TextEncoding { Utf8, Cp932 };

// Converts texts between two encodings with one iconv descriptor, which costs far more to open
// than a short message does to convert. Characters that the target cannot hold become '?'; the
// conversion never fails. Short texts it has converted are kept: a program's own messages come
// back thousands of times in a start-up log. Thread-safe: the console is written from several
// threads.
class TextConverter {
  public:
    TextConverter(const char* to, const char* from);
    ~TextConverter();
    TextConverter(const TextConverter&) = delete;
    TextConverter& operator=(const TextConverter&) = delete;

    std::string convert(std::string_view input);

  private:
    // Within bounds, since texts made at run time vary without end.
    static constexpr std::size_t kCachedTexts = 512;
    static constexpr std::size_t kCachedTextBytes = 256;

    std::string convertAfresh(std::string_view input);

    std::mutex mutex_;
    void* descriptor_;  // iconv_t
    bool fromUtf8_;
    struct Entry {
        std::string text;
        std::string converted;
    };
    std::deque<Entry> entries_;  // never moves an entry, so the keys may view their texts
    std::unordered_map<std::string_view, const Entry*> cache_;
};

// UTF-8 text converted to `encoding`, with a converter of its own: for a single text. A stream
// that writes many keeps a TextConverter (see MessageStream).
std::string encodeText(std::string_view utf8, TextEncoding encoding);

// False when `utf8` is already its own conversion to `encoding`: for UTF-8, and for seven-bit
// text, which CP932 writes alike.
bool needsConversion(std::string_view utf8, TextEncoding encoding);

// CP932 text converted back to UTF-8 (tests and tools use it to read the parser log).
std::string decodeCp932(std::string_view cp932);

// True when a locale codeset name denotes Shift_JIS or one of its variants (CP932 and the like).
bool isShiftJisCodeset(std::string_view codeset);

// The encoding of the console: CP932 when the locale's codeset is a Shift_JIS variant, UTF-8
// otherwise. Reads the environment's locale once (LC_ALL, LC_CTYPE, LANG) without changing the
// process's own locale.
TextEncoding consoleEncoding();

}  // namespace pelorin
