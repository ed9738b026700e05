#include "render/StlFile.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <memory>

#include "render/StlAsciiParser.h"
#include "render/StlBinary.h"

namespace pelorin {
namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
// Whole facets per binary read, about one block.
constexpr std::size_t kFacetsPerBlock = kBlockSize / kStlBinaryFacetSize;

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};
using File = std::unique_ptr<std::FILE, FileCloser>;

enum class Layout { Ascii, Binary, TruncatedBinary };

struct Header {
    unsigned char bytes[kStlBinaryHeaderSize];
    std::size_t length = 0;  // fewer than 84 for a short file
};

// `size` is the file's size when it has one (a regular file); a pipe is never taken as binary.
Layout decideLayout(const Header& header, std::optional<std::uintmax_t> size,
                    StlLoadResult& result) {
    const bool wholeHeader = header.length == kStlBinaryHeaderSize;
    const std::uint32_t count = wholeHeader ? stlBinaryFacetCount(header.bytes) : 0;
    if (wholeHeader && size && *size == stlBinarySize(count)) return Layout::Binary;
    // Text files hold no NUL bytes; a header that does is binary STL cut short (or padded).
    if (std::memchr(header.bytes, '\0', header.length) == nullptr) return Layout::Ascii;
    result.status = StlLoadStatus::TruncatedBinary;
    result.expectedSize = wholeHeader ? stlBinarySize(count) : kStlBinaryHeaderSize;
    result.actualSize = size.value_or(header.length);
    return Layout::TruncatedBinary;
}

void readBinaryFacets(std::FILE* file, std::uint32_t count, std::vector<Triangle>& triangles) {
    triangles.reserve(triangles.size() + count);
    std::vector<unsigned char> block(kFacetsPerBlock * kStlBinaryFacetSize);
    std::size_t left = count;
    while (left > 0) {
        const std::size_t wanted = std::min(left, kFacetsPerBlock);
        const std::size_t got =
            std::fread(block.data(), kStlBinaryFacetSize, wanted, file);  // whole facets only
        decodeStlBinaryFacets(block.data(), got, triangles);
        if (got < wanted) return;  // the file shrank under us: stop as at its end
        left -= got;
    }
}

void readAsciiRest(std::FILE* file, const Header& header, std::vector<Triangle>& triangles,
                   std::optional<std::string>& solidName) {
    StlAsciiParser parser(triangles);
    parser.feed(std::string_view(reinterpret_cast<const char*>(header.bytes), header.length));
    std::vector<char> block(kBlockSize);
    std::size_t got;
    while ((got = std::fread(block.data(), 1, block.size(), file)) > 0) {
        parser.feed(std::string_view(block.data(), got));
    }
    parser.finish();
    if (parser.solidName()) solidName = parser.solidName();
}

}  // namespace

StlLoadResult readStlFile(const std::string& path, std::vector<Triangle>& triangles,
                          std::optional<std::string>& solidName) {
    StlLoadResult result;
    File file(std::fopen(path.c_str(), "rb"));
    struct stat info;
    if (!file || fstat(fileno(file.get()), &info) != 0 || S_ISDIR(info.st_mode)) {
        result.status = StlLoadStatus::CannotOpen;
        return result;
    }
    Header header;
    header.length = std::fread(header.bytes, 1, kStlBinaryHeaderSize, file.get());
    std::optional<std::uintmax_t> size;
    if (S_ISREG(info.st_mode)) size = static_cast<std::uintmax_t>(info.st_size);
    switch (decideLayout(header, size, result)) {
        case Layout::Binary:
            readBinaryFacets(file.get(), stlBinaryFacetCount(header.bytes), triangles);
            break;
        case Layout::Ascii:
            readAsciiRest(file.get(), header, triangles, solidName);
            break;
        case Layout::TruncatedBinary:
            break;
    }
    return result;
}

}  // namespace pelorin
