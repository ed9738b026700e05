#include "mesh/StlAsciiParser.h"

#include <cstring>

#include "mesh/FacetNormal.h"

#include "util/TextHelpers.h"

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

constexpr std::string_view kSolid = "solid";
constexpr std::string_view kFacet = "facet";
constexpr std::string_view kEndFacet = "endfacet";
constexpr std::string_view kVertex = "vertex";
constexpr std::string_view kEndSolid = "endsolid";

// Whether `token` starts with the lower-case `keyword`, its letters in any case.
bool startsWithKeyword(std::string_view token, std::string_view keyword) {
    if (token.size() < keyword.size()) return false;
    for (std::size_t i = 0; i < keyword.size(); ++i) {
        const char c = token[i];
        if ((c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c) != keyword[i]) {
            return false;
        }
    }
    return true;
}

bool isKeyword(std::string_view token, std::string_view keyword) {
    return token.size() == keyword.size() && startsWithKeyword(token, keyword);
}

}  // namespace

// Walks the tokens of one line from left to right.
class StlAsciiParser::TokenCursor {
  public:
    explicit TokenCursor(std::string_view line) : line_(line) {}

    // Moves to the start of the next token; false when the line holds no more.
    bool skipSeparators() {
        while (pos_ < line_.size() && isSeparator(line_[pos_])) ++pos_;
        return pos_ < line_.size();
    }
    // The next token, or an empty view when there is none.
    std::string_view next() {
        if (!skipSeparators()) return {};
        const std::size_t start = pos_;
        while (pos_ < line_.size() && !isSeparator(line_[pos_])) ++pos_;
        return line_.substr(start, pos_ - start);
    }
    std::string_view rest() const { return line_.substr(pos_); }
    bool endsTokenAfter(std::size_t length) const {
        return pos_ + length == line_.size() || isSeparator(line_[pos_ + length]);
    }
    void advance(std::size_t length) { pos_ += length; }

  private:
    std::string_view line_;
    std::size_t pos_ = 0;
};

bool StlAsciiParser::feed(std::string_view bytes) {
    while (!bytes.empty() && stop_ == Stop::None) {
        if (afterCr_) {
            afterCr_ = false;
            if (bytes.front() == '\n') {
                bytes.remove_prefix(1);
                continue;
            }
        }
        const char* lf = static_cast<const char*>(std::memchr(bytes.data(), '\n', bytes.size()));
        // A lone CR also ends a line; look for it only in the stretch before the next LF.
        const std::size_t lfAt =
            lf != nullptr ? static_cast<std::size_t>(lf - bytes.data()) : bytes.size();
        const void* cr = std::memchr(bytes.data(), '\r', lfAt);
        const std::size_t lineEnd =
            cr != nullptr ? static_cast<std::size_t>(static_cast<const char*>(cr) - bytes.data())
                          : lfAt;
        if (lineEnd == bytes.size()) {
            keepPending(bytes);
            break;
        }
        if (pendingLine_.empty()) {
            takeLine(bytes.substr(0, lineEnd));
        } else {
            keepPending(bytes.substr(0, lineEnd));
            if (stop_ == Stop::None) takeLine(pendingLine_);
            pendingLine_.clear();
        }
        afterCr_ = cr != nullptr;
        bytes.remove_prefix(lineEnd + 1);
    }
    return stop_ == Stop::None;
}

bool StlAsciiParser::finish() {
    if (stop_ == Stop::None && !pendingLine_.empty()) takeLine(pendingLine_);
    pendingLine_.clear();
    return stop_ == Stop::None;
}

void StlAsciiParser::keepPending(std::string_view piece) {
    if (pendingLine_.size() + piece.size() > kMaxLineBytes) {
        stop_ = Stop::LineTooLong;
        return;
    }
    pendingLine_.append(piece);
}

void StlAsciiParser::takeLine(std::string_view line) {
    if (line.size() > kMaxLineBytes) {
        stop_ = Stop::LineTooLong;
        return;
    }
    parseLine(line);
    if (stop_ == Stop::None) ++lineNumber_;
}

void StlAsciiParser::parseLine(std::string_view line) {
    TokenCursor tokens(line);
    const std::string_view first = tokens.next();
    if (first.empty()) return;
    if (isKeyword(first, kSolid)) {
        sawSolid_ = true;
        const std::string_view name = tokens.next();
        if (!name.empty()) solidName_.emplace(name);
    } else if (isKeyword(first, kFacet)) {
        vertexIndex_ = 0;
        tokens.next();  // "normal", not examined
        readTriple(tokens, current_.normal);
    } else if (startsWithKeyword(first, kEndFacet)) {
        if (!hasUsableNormal(current_)) computeFacetNormal(current_);
        if (!triangles_->push_back(current_)) {
            stop_ = Stop::OutOfMemory;
            return;
        }
        ++facets_;
        current_ = Triangle{};
    } else if (isKeyword(first, kVertex)) {
        if (vertexIndex_ < kVerticesPerFacet) readTriple(tokens, current_.vertex[vertexIndex_]);
        // Counting on past three keeps later vertex lines of the same facet ignored.
        if (vertexIndex_ <= kVerticesPerFacet) ++vertexIndex_;
    } else if (isKeyword(first, kEndSolid)) {
        sawEndSolid_ = true;
    }
}

void StlAsciiParser::readTriple(TokenCursor& tokens, float* xyz) const {
    for (int k = 0; k < 3 && tokens.skipSeparators(); ++k) {
        // Most numbers are plain decimals: convert them while finding where they end, so the
        // bytes are scanned once. Anything else is left to the exact converter, token by token.
        // A component the converter does not take keeps its value.
        double value = xyz[k];
        const std::size_t used = numbers_.convertPrefix(tokens.rest(), value);
        if (used > 0 && tokens.endsTokenAfter(used)) {
            tokens.advance(used);
            xyz[k] = static_cast<float>(value);
            continue;
        }
        const std::string_view token = tokens.next();
        if (used > 0 || numbers_.convert(token, value)) xyz[k] = static_cast<float>(value);
    }
}

}  // namespace pelorin
