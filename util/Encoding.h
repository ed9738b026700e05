// Conversion of the program's own texts (kept as UTF-8 in the source) to the encoding of the
// place they are written to.
#pragma once

#include <string>
#include <string_view>

namespace pelorin {

enum class TextEncoding { Utf8, Cp932 };

// UTF-8 text converted to `encoding`. Characters that the target cannot hold become '?';
// the conversion never fails.
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
