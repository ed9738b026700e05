#include "coil/Properties.h"

#include <istream>
#include <ostream>

namespace coil {
namespace {

const std::string kEmpty;

std::string trim(const std::string& text) {
    const char* blanks = " \t\r\n";
    size_t first = text.find_first_not_of(blanks);
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(blanks);
    return text.substr(first, last - first + 1);
}

// A line ends a continued value unless its last character is an unescaped backslash.
bool continues(const std::string& line) {
    size_t backslashes = 0;
    for (size_t i = line.size(); i > 0 && line[i - 1] == '\\'; --i) ++backslashes;
    return backslashes % 2 == 1;
}

}  // namespace

Properties::Properties(const char* key, const char* value, bool set_value)
    : name_(key == nullptr ? "" : key) {
    if (key == nullptr || *key == '\0') return;
    Entry& entry = findOrAdd(key);
    entry.defaultValue = value == nullptr ? "" : value;
    if (set_value) {
        entry.value = entry.defaultValue;
        entry.hasValue = true;
    }
}

Properties::Properties(std::map<std::string, std::string>& defaults) {
    for (const auto& pair : defaults) setDefault(pair.first, pair.second);
}

Properties::Properties(const char* const defaults[], size_t num) {
    setDefaults(defaults, num);
}

void Properties::setDefaults(const char* const defaults[], size_t num) {
    if (defaults == nullptr) return;
    for (size_t i = 0; i + 1 < num; i += 2) {
        if (defaults[i] == nullptr || defaults[i][0] == '\0') break;
        const char* value = defaults[i + 1] == nullptr ? "" : defaults[i + 1];
        setDefault(trim(defaults[i]), trim(value));
    }
}

const Properties::Entry* Properties::find(const std::string& key) const {
    auto it = index_.find(key);
    return it == index_.end() ? nullptr : &entries_[it->second];
}

Properties::Entry& Properties::findOrAdd(const std::string& key) {
    auto it = index_.find(key);
    if (it != index_.end()) return entries_[it->second];
    index_.emplace(key, entries_.size());
    entries_.push_back(Entry{key, "", "", false});
    return entries_.back();
}

const std::string& Properties::getProperty(const std::string& key) const {
    const Entry* entry = find(key);
    if (entry == nullptr) return kEmpty;
    return entry->hasValue ? entry->value : entry->defaultValue;
}

const std::string& Properties::getProperty(const std::string& key, const std::string& def) const {
    const Entry* entry = find(key);
    if (entry == nullptr) return def;
    if (entry->hasValue) return entry->value;
    return entry->defaultValue.empty() ? def : entry->defaultValue;
}

std::string& Properties::operator[](const std::string& key) {
    Entry& entry = findOrAdd(key);
    if (!entry.hasValue) {
        entry.value = entry.defaultValue;
        entry.hasValue = true;
    }
    return entry.value;
}

const std::string& Properties::getDefault(const std::string& key) const {
    const Entry* entry = find(key);
    return entry == nullptr ? kEmpty : entry->defaultValue;
}

std::string Properties::setProperty(const std::string& key, const std::string& invalue) {
    Entry& entry = findOrAdd(key);
    std::string previous = entry.hasValue ? entry.value : entry.defaultValue;
    entry.value = invalue;
    entry.hasValue = true;
    return previous;
}

std::string Properties::setDefault(const std::string& key, const std::string& invalue) {
    Entry& entry = findOrAdd(key);
    std::string previous = entry.defaultValue;
    entry.defaultValue = invalue;
    return previous;
}

void Properties::splitKeyValue(const std::string& str, std::string& key, std::string& value) {
    size_t separator = std::string::npos;
    for (size_t i = 0; i < str.size(); ++i) {
        if (str[i] == '\\') {
            ++i;  // an escaped character never separates
        } else if (str[i] == ':' || str[i] == '=') {
            separator = i;
            break;
        }
    }
    if (separator == std::string::npos) separator = str.find_first_of(" \t");
    if (separator == std::string::npos) {
        key = trim(str);
        value.clear();
        return;
    }
    key = trim(str.substr(0, separator));
    value = trim(str.substr(separator + 1));
}

void Properties::load(std::istream& inStream) {
    std::string line;
    std::string pending;
    while (std::getline(inStream, line)) {
        std::string text = trim(line);
        if (pending.empty() && (text.empty() || text[0] == '#' || text[0] == '!')) continue;
        if (continues(text)) {
            pending += text.substr(0, text.size() - 1);
            continue;
        }
        pending += text;
        std::string key;
        std::string value;
        splitKeyValue(pending, key, value);
        pending.clear();
        if (!key.empty()) setProperty(key, value);
    }
    if (!pending.empty()) {
        std::string key;
        std::string value;
        splitKeyValue(pending, key, value);
        if (!key.empty()) setProperty(key, value);
    }
}

void Properties::list(std::ostream& out) const {
    for (const Entry& entry : entries_) {
        out << entry.key << ": " << (entry.hasValue ? entry.value : entry.defaultValue) << "\n";
    }
}

std::vector<std::string> Properties::propertyNames() const {
    std::vector<std::string> names;
    names.reserve(entries_.size());
    for (const Entry& entry : entries_) names.push_back(entry.key);
    return names;
}

const Properties* Properties::hasKey(const char* key) const {
    return key != nullptr && find(key) != nullptr ? this : nullptr;
}

Properties& Properties::operator<<(const Properties& prop) {
    for (const Entry& entry : prop.entries_) {
        if (entry.hasValue) {
            setProperty(entry.key, entry.value);
        } else if (find(entry.key) == nullptr) {
            setDefault(entry.key, entry.defaultValue);
        }
    }
    return *this;
}

}  // namespace coil
