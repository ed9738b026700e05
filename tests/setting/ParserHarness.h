// Test helpers: a parser whose log and console go to memory, and a scratch directory.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "scene/Parts.h"
#include "setting/SettingFileParser.h"
#include "util/Encoding.h"
#include "util/MessageStream.h"

namespace pelorin::test {

// Lines of `text` split at line feeds; a text that ends with one has no empty last element.
inline std::vector<std::string> splitLines(const std::string& text) {
    std::vector<std::string> lines;
    std::istringstream in(text);
    std::string line;
    while (std::getline(in, line)) lines.push_back(line);
    return lines;
}

// The log goes to memory in CP932 like the real log; the console in UTF-8.
struct ParserHarness {
    static constexpr std::size_t kHeaderLines = 4;

    StringSink logSink;
    StringSink outSink;
    StringSink errSink;
    MessageStream log{logSink, TextEncoding::Cp932};
    MessageStream out{outSink, TextEncoding::Utf8};
    MessageStream err{errSink, TextEncoding::Utf8};
    std::unique_ptr<SettingFileParser> parser = std::make_unique<SettingFileParser>(log, out, err);

    Parts* result = nullptr;  // of the latest parse

    Parts* parse(const std::string& text) {
        std::istringstream in(text);
        result = parser->parse(in, "test.txt");
        return result;
    }
    std::string logText() const { return decodeCp932(logSink.text()); }
    // Log lines after the header (title, source, time, empty line).
    std::vector<std::string> body() const {
        std::vector<std::string> lines = splitLines(logText());
        if (lines.size() < kHeaderLines) return {};
        return std::vector<std::string>(lines.begin() + kHeaderLines, lines.end());
    }
    // The last `count` log lines, or all of them when there are fewer.
    std::vector<std::string> logTail(std::size_t count) const {
        const std::vector<std::string> lines = body();
        return {lines.end() - std::min(count, lines.size()), lines.end()};
    }
    bool logHas(const std::string& line) const {
        for (const std::string& l : body()) {
            if (l == line) return true;
        }
        return false;
    }
    Parts* parts(const std::string& name) const {
        const auto found = parser->partsByName().find(name);
        return found == parser->partsByName().end() ? nullptr : found->second;
    }
};

// A fresh directory under the system's temporary directory, removed at the end of the test.
class ScratchDir {
  public:
    ScratchDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "pelorin-XXXXXX").string();
        if (mkdtemp(pattern.data()) == nullptr) ADD_FAILURE() << "cannot create scratch directory";
        path_ = pattern;
    }
    ~ScratchDir() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const { return (path_ / name).string(); }
    std::string write(const std::string& name, const std::string& bytes) const {
        std::ofstream out(file(name), std::ios::binary);
        out << bytes;
        return file(name);
    }

  private:
    std::filesystem::path path_;
};

// Changes the working directory for the life of the guard.
class WorkingDirectory {
  public:
    explicit WorkingDirectory(const std::filesystem::path& dir)
        : previous_(std::filesystem::current_path()) {
        std::filesystem::current_path(dir);
    }
    ~WorkingDirectory() { std::filesystem::current_path(previous_); }

  private:
    std::filesystem::path previous_;
};

// A file of the source tree; the test fails loudly when it is missing.
inline std::string sourceFile(const std::string& relative) {
    const std::filesystem::path path = std::filesystem::path(PELORIN_SOURCE_DIR) / relative;
    if (!std::filesystem::is_regular_file(path)) {
        ADD_FAILURE() << "missing fixture " << path;
    }
    return path.string();
}

inline std::string readBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) ADD_FAILURE() << "cannot read " << path;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    return bytes.str();
}

// A one-facet ASCII STL text.
inline std::string oneFacetStl() {
    return "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
           "vertex 0 1 0\nendloop\nendfacet\nendsolid t\n";
}

}  // namespace pelorin::test
