// The lines of a setting file as it is written, kept within the reader's line limit (79 bytes)
// and in plain ASCII: names go through NameTable, comments are cut to fit, numbers are short.
#pragma once

#include <set>
#include <string>
#include <vector>

namespace pelorin {

class SettingText {
  public:
    static constexpr std::size_t kMaxLineBytes = 79;

    // A keyword line; names in it are already short, so a longer line is a fault of the writer.
    void line(const std::string& text);
    // "# " and `text`, non-ASCII bytes shown as '?', cut to the limit.
    void comment(const std::string& text);
    void blank() { lines_.emplace_back(); }
    std::string text() const;

    // A number as few digits show it (10 significant digits; values within 1e-12 of zero are
    // 0): lengths of a metre-sized robot keep far more than the precision of its meshes.
    static std::string number(double value);

  private:
    std::vector<std::string> lines_;
};

// Names as the setting-file reader takes them: ASCII letters, digits, '_' and '-' only (no
// blanks, dots, commas or brackets, which end or split a name there), at most kMaxNameBytes,
// unique over the whole file, and never "ROOT" unless asked for.
class NameTable {
  public:
    static constexpr std::size_t kMaxNameBytes = 24;

    // A fresh name for `wanted`; the same `wanted` asked twice gets two names.
    std::string add(const std::string& wanted);
    void reserve(const std::string& name) { taken_.insert(name); }

  private:
    std::set<std::string> taken_;
};

}  // namespace pelorin
