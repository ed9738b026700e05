// Key/value configuration store with the framework's coil::Properties interface.
//
// Keys are dotted paths ("exec_cxt.periodic.rate"). Each key has a value and a default; a key
// whose value was never set reads as its default. Keys keep the order in which they were first
// added. Not thread-safe: one thread builds a Properties, others may read it afterwards.
#pragma once

#include <cstddef>
#include <iosfwd>
#include <limits>
#include <map>
#include <string>
#include <vector>

namespace coil {

class Properties {
  public:
    // `key` also names the whole store (getName), as a set of configuration values is named.
    explicit Properties(const char* key = "", const char* value = "", bool set_value = false);
    explicit Properties(std::map<std::string, std::string>& defaults);
    // Reads consecutive key/value pairs from `defaults` as default values, stopping at an empty
    // key or after `num` strings, whichever comes first.
    explicit Properties(const char* const defaults[],
                        size_t num = std::numeric_limits<size_t>::max());
    Properties(const Properties& prop) = default;
    Properties& operator=(const Properties& prop) = default;
    virtual ~Properties() = default;

    // The value, else the default, else an empty string (or `def`).
    const std::string& getProperty(const std::string& key) const;
    const std::string& getProperty(const std::string& key, const std::string& def) const;
    const std::string& operator[](const std::string& key) const { return getProperty(key); }
    // Creates the key when it is absent, so assignment through the reference sets a value.
    std::string& operator[](const std::string& key);
    const std::string& getDefault(const std::string& key) const;

    // Both return the previous value (or default).
    std::string setProperty(const std::string& key, const std::string& invalue);
    std::string setDefault(const std::string& key, const std::string& invalue);
    void setDefaults(const char* const defaults[], size_t num = std::numeric_limits<size_t>::max());

    // Reads the framework's configuration syntax: "key: value" or "key = value" (or the first
    // blank as separator), '#' and '!' comment lines, a trailing backslash continues the line.
    void load(std::istream& inStream);
    // Writes "key: value" lines.
    void list(std::ostream& out) const;

    std::vector<std::string> propertyNames() const;
    const char* getName() const { return name_.c_str(); }
    size_t size() const { return entries_.size(); }
    // True when the key has a value or a default; the framework returns a node pointer here,
    // which callers only ever test against null.
    const Properties* hasKey(const char* key) const;
    void clear() {
        entries_.clear();
        index_.clear();
    }

    // Merges: every key of `prop` that has a value overrides this one's value.
    Properties& operator<<(const Properties& prop);

    static void splitKeyValue(const std::string& str, std::string& key, std::string& value);

  private:
    struct Entry {
        std::string key;
        std::string value;
        std::string defaultValue;
        bool hasValue = false;
    };
    const Entry* find(const std::string& key) const;
    Entry& findOrAdd(const std::string& key);

    std::string name_;
    std::vector<Entry> entries_;
    std::map<std::string, size_t> index_;
};

}  // namespace coil
