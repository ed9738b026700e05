// Test helpers: a parser whose log and console go to memory, a working-directory guard and
// the source tree's files.
#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

#include "scene/Parts.h"
#include "setting/SettingFileParser.h"
#include "tests/component/EndToEnd.h"
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

// Parses `text`, which must be refused with `logTail` as the last log lines and, unless null,
// `console` on the console.
inline void expectRefused(const std::string& text, const std::vector<std::string>& logTail,
                          const char* console = nullptr) {
    ParserHarness h;
    EXPECT_EQ(h.parse(text), nullptr) << text;
    EXPECT_EQ(h.logTail(logTail.size()), logTail) << text;
    if (console != nullptr) {
        EXPECT_EQ(h.outSink.text(), console) << text;
    }
}

using pelorin::testing::readFile;
using pelorin::testing::TempDir;

using pelorin::testing::WorkingDirectory;

// A file of the source tree; the test fails loudly when it is missing.
inline std::string sourceFile(const std::string& relative) {
    const std::filesystem::path path = std::filesystem::path(PELORIN_SOURCE_DIR) / relative;
    if (!std::filesystem::is_regular_file(path)) {
        ADD_FAILURE() << "missing fixture " << path;
    }
    return path.string();
}

// A one-facet ASCII STL text.
inline std::string oneFacetStl() {
    return "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 1 0 0\n"
           "vertex 0 1 0\nendloop\nendfacet\nendsolid t\n";
}

}  // namespace pelorin::test
