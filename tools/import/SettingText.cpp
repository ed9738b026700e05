#include "tools/import/SettingText.h"

#include <cmath>
#include <cstdio>
#include <stdexcept>

namespace pelorin {
namespace {

constexpr double kZero = 1e-12;
constexpr const char* kUnnamed = "unnamed";

bool nameChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-';
}

}  // namespace

void SettingText::line(const std::string& text) {
    if (text.size() > kMaxLineBytes) throw std::logic_error("setting line too long: " + text);
    lines_.push_back(text);
}

void SettingText::comment(const std::string& text) {
    std::string out = "# ";
    for (char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        out += (byte >= 0x20 && byte < 0x7f) ? c : '?';
    }
    if (out.size() > kMaxLineBytes) out.resize(kMaxLineBytes);
    while (!out.empty() && out.back() == ' ') out.pop_back();
    lines_.push_back(out);
}

std::string SettingText::text() const {
    std::string all;
    for (const std::string& l : lines_) all += l + "\n";
    return all;
}

std::string SettingText::number(double value) {
    if (std::fabs(value) < kZero || !std::isfinite(value)) return "0";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.10g", value);
    return buffer;
}

std::string NameTable::add(const std::string& wanted) {
    std::string base;
    for (char c : wanted) base += nameChar(c) ? c : '_';
    if (base.empty()) base = kUnnamed;
    if (base.size() > kMaxNameBytes) base.resize(kMaxNameBytes);
    std::string name = base;
    for (int n = 2; taken_.count(name) != 0; ++n) {
        const std::string suffix = "_" + std::to_string(n);
        name = base.substr(0, kMaxNameBytes - suffix.size()) + suffix;
    }
    taken_.insert(name);
    return name;
}

}  // namespace pelorin
