// One read of a setting file: the parser, which owns the tree and its value table, the root of
// the linked tree, and the value sets the tree is posed with.
//
// A model never changes once read; each received sequence replaces its value set whole. Whoever
// draws or writes it holds a shared pointer for as long as it does, so a model that a reload
// has replaced is freed only when the last frame or hand-over using it is done.
#pragma once

#include <cstddef>
#include <memory>
#include <string>

namespace pelorin {

class LiveValues;
class Parts;
class SettingFileParser;

class LoadedModel {
  public:
    // Reads and links the file at `path` with the parser's console messages and log. Null when
    // it does not read (the parser has said why, on the console or in its log) or memory runs
    // out; `failedLine`, when given, is then the line the reading stopped at (0: none).
    static std::shared_ptr<LoadedModel> read(const std::string& path, int* failedLine = nullptr);

    ~LoadedModel();
    LoadedModel(const LoadedModel&) = delete;
    LoadedModel& operator=(const LoadedModel&) = delete;

    Parts* root() const { return root_; }
    const SettingFileParser& parser() const { return *parser_; }
    const std::string& path() const { return path_; }
    // The current value set, starting from the file's values. Any thread.
    const LiveValues& values() const { return *values_; }

    // Number of values a received sequence drives.
    std::size_t valueCount() const;
    // Publishes a value set with values[i] taken for value-table entry i, in ascending order,
    // for i < min(count, valueCount()), as one whole; returns whether an entry was taken.
    bool receive(const double* values, std::size_t count) const;

  private:
    LoadedModel(std::unique_ptr<SettingFileParser> parser, Parts* root, std::string path);

    std::unique_ptr<SettingFileParser> parser_;
    Parts* root_;
    std::string path_;
    std::unique_ptr<LiveValues> values_;
};

}  // namespace pelorin
