#include "render/StlAsciiParser.h"

#include <cstring>

namespace pelorin {
namespace {

// Blanks, tabs, CR and LF separate tokens; a table keeps the scan to one load per byte.
struct SeparatorTable {
    bool separator[256] = {};
    constexpr SeparatorTable() {
        separator[static_cast<unsigned char>(' ')] = true;
        separator[static_cast<unsigned char>('\t')] = true;
        separator[static_cast<unsigned char>('\r')] = true;
        separator[static_cast<unsigned char>('\n')] = true;
    }
};
constexpr SeparatorTable kSeparators;

bool isSeparator(char c) {
    return kSeparators.separator[static_cast<unsigned char>(c)];
}

// Splits `line` into at most `maxTokens` tokens; returns how many it found.
int tokenize(std::string_view line, std::string_view* tokens, int maxTokens) {
    int count = 0;
    std::size_t i = 0;
    const std::size_t n = line.size();
    while (count < maxTokens) {
        while (i < n && isSeparator(line[i])) ++i;
        if (i == n) break;
        const std::size_t start = i;
        while (i < n && !isSeparator(line[i])) ++i;
        tokens[count++] = line.substr(start, i - start);
    }
    return count;
}

constexpr std::string_view kSolid = "solid";
constexpr std::string_view kFacet = "facet";
constexpr std::string_view kEndFacet = "endfacet";
constexpr std::string_view kVertex = "vertex";

}  // namespace

void StlAsciiParser::feed(std::string_view bytes) {
    while (!bytes.empty()) {
        const char* end = static_cast<const char*>(std::memchr(bytes.data(), '\n', bytes.size()));
        // A lone CR also ends a line; look for it only in the stretch before the next LF.
        const std::size_t lf =
            end != nullptr ? static_cast<std::size_t>(end - bytes.data()) : bytes.size();
        const void* cr = std::memchr(bytes.data(), '\r', lf);
        const std::size_t lineEnd =
            cr != nullptr ? static_cast<std::size_t>(static_cast<const char*>(cr) - bytes.data())
                          : lf;
        if (lineEnd == bytes.size()) {
            pendingLine_.append(bytes);
            return;
        }
        if (pendingLine_.empty()) {
            parseLine(bytes.substr(0, lineEnd));
        } else {
            pendingLine_.append(bytes.substr(0, lineEnd));
            parseLine(pendingLine_);
            pendingLine_.clear();
        }
        bytes.remove_prefix(lineEnd + 1);
    }
}

void StlAsciiParser::finish() {
    if (!pendingLine_.empty()) parseLine(pendingLine_);
    pendingLine_.clear();
}

void StlAsciiParser::parseLine(std::string_view line) {
    std::string_view tokens[kMaxTokens];
    const int count = tokenize(line, tokens, kMaxTokens);
    if (count == 0) return;
    const std::string_view first = tokens[0];
    if (first == kSolid) {
        onSolid(tokens, count);
    } else if (first == kFacet) {
        onFacet(tokens, count);
    } else if (first.substr(0, kEndFacet.size()) == kEndFacet) {
        onEndFacet();
    } else if (first == kVertex) {
        onVertex(tokens, count);
    }
}

void StlAsciiParser::onSolid(const std::string_view* tokens, int count) {
    if (count >= 2) solidName_.emplace(tokens[1]);
}

void StlAsciiParser::onFacet(const std::string_view* tokens, int count) {
    vertexIndex_ = 0;
    readTriple(tokens, count, 2, current_.normal);
}

void StlAsciiParser::onEndFacet() {
    triangles_->push_back(current_);
    current_ = Triangle{};
}

void StlAsciiParser::onVertex(const std::string_view* tokens, int count) {
    if (vertexIndex_ < kVerticesPerFacet)
        readTriple(tokens, count, 1, current_.vertex[vertexIndex_]);
    // Counting on past three keeps later vertex lines of the same facet ignored.
    if (vertexIndex_ <= kVerticesPerFacet) ++vertexIndex_;
}

void StlAsciiParser::readTriple(const std::string_view* tokens, int count, int first,
                                double* xyz) const {
    for (int k = 0; k < 3 && first + k < count; ++k) numbers_.convert(tokens[first + k], xyz[k]);
}

}  // namespace pelorin
