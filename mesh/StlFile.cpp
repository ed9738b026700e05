#include "mesh/StlFile.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <new>

#include "mesh/FacetBounds.h"
#include "mesh/StlAsciiParser.h"
#include "mesh/StlBinary.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

constexpr std::size_t kBlockSize = std::size_t{1} << 20;
constexpr std::size_t kSmallestBlock = 4096;
constexpr std::uintmax_t kWholeFileLimit = std::uintmax_t{64} << 10;

struct Header {
    unsigned char bytes[kStlBinaryHeaderSize] = {};
    std::size_t length = 0;  // fewer than 84 for a short file
};

// What reading the file as ASCII STL found.
struct AsciiAttempt {
    StlAsciiParser::Stop stop = StlAsciiParser::Stop::None;
    std::size_t line = 0;
    std::size_t facets = 0;
    bool sawNul = false;  // a NUL byte anywhere in the file: no text file holds one
    bool closedSolid = false;
    std::optional<std::string> solidName;
};

bool holdsNul(const void* bytes, std::size_t length) {
    return std::memchr(bytes, '\0', length) != nullptr;
}

AsciiAttempt readAscii(ByteSource& source, const Header& header, std::uintmax_t size,
                       TriangleArray& triangles) {
    AsciiAttempt attempt;
    StlAsciiParser parser(triangles);
    attempt.sawNul = holdsNul(header.bytes, header.length);
    parser.feed(std::string_view(reinterpret_cast<const char*>(header.bytes), header.length));
    // A small file is read with a buffer of about its own size, a large one a block at a time.
    // One byte more than the size lets the first read find the end; the reading goes on to the
    // end in any case, should the file have grown (or report no size, as some system files do).
    const std::uintmax_t rest = size > header.length ? size - header.length : 0;
    const std::size_t blockSize = static_cast<std::size_t>(
        std::min<std::uintmax_t>(std::max<std::uintmax_t>(rest + 1, kSmallestBlock), kBlockSize));
    const std::unique_ptr<char[]> block(new (std::nothrow) char[blockSize]);
    if (!block) {
        attempt.stop = StlAsciiParser::Stop::OutOfMemory;
        return attempt;
    }
    std::size_t got = blockSize;
    // A short read is the end of the input.
    while (got == blockSize && (got = source.read(block.get(), blockSize)) > 0) {
        attempt.sawNul = attempt.sawNul || holdsNul(block.get(), got);
        if (!parser.feed(std::string_view(block.get(), got))) break;
    }
    parser.finish();
    // A line too long before any facet leaves open whether this is text at all: the rest tells.
    if (parser.stop() == StlAsciiParser::Stop::LineTooLong && parser.facets() == 0) {
        while (!attempt.sawNul && (got = source.read(block.get(), blockSize)) > 0) {
            attempt.sawNul = holdsNul(block.get(), got);
        }
    }
    attempt.stop = parser.stop();
    attempt.line = parser.lineNumber();
    attempt.facets = parser.facets();
    attempt.solidName = parser.solidName();
    attempt.closedSolid = parser.closedSolid();
    return attempt;
}

// What a file that read as text but gave no facet looks like, from its first bytes.
StlNoFacets lookOfText(const Header& header, std::uintmax_t size) {
    constexpr std::string_view kBlanks = " \t\r\n";
    constexpr std::string_view kByteOrderMark = "\xEF\xBB\xBF";
    constexpr std::string_view kLfsPointer = "version https://git-lfs.github.com/spec/";
    std::string_view start(reinterpret_cast<const char*>(header.bytes), header.length);
    if (startsWith(start, kByteOrderMark)) start.remove_prefix(kByteOrderMark.size());
    const std::size_t first = start.find_first_not_of(kBlanks);
    if (first == std::string_view::npos) {
        return size <= header.length ? StlNoFacets::EmptyFile : StlNoFacets::Text;
    }
    start.remove_prefix(first);
    if (startsWith(start, kLfsPointer)) return StlNoFacets::LfsPointer;
    if (startsWith(start, "<")) return StlNoFacets::Xml;
    return StlNoFacets::Text;
}

StlLoadResult readBinary(ByteSource& source, std::uint32_t count, TriangleArray& triangles) {
    StlLoadResult result;
    if (count == 0) result.noFacets = StlNoFacets::Binary;
    if (readStlBinaryFacets(source, count, triangles, &result.bounds) ==
        StlBinaryRead::OutOfMemory) {
        result.status = StlLoadStatus::OutOfMemory;
        result.facets = count;
    }
    return result;
}

StlLoadResult decode(ByteSource& source, std::uintmax_t size, TriangleArray& triangles,
                     std::optional<std::string>& solidName) {
    StlLoadResult result;
    Header header;
    header.length = source.read(header.bytes, kStlBinaryHeaderSize);
    const bool wholeHeader = header.length == kStlBinaryHeaderSize;
    const std::uint32_t count = wholeHeader ? stlBinaryFacetCount(header.bytes) : 0;
    const std::uintmax_t expected = wholeHeader ? stlBinarySize(count) : kStlBinaryHeaderSize;
    if (wholeHeader && size == expected) {
        // The size backs the count, so the room for all of it is taken at once. Should that
        // fail, the mesh still grows as records arrive, until memory runs out.
        reserveStlBinaryFacets(triangles, count);
        return readBinary(source, count, triangles);
    }

    const std::size_t before = triangles.size();
    AsciiAttempt ascii = readAscii(source, header, size, triangles);
    if (ascii.stop == StlAsciiParser::Stop::OutOfMemory) {
        result.status = StlLoadStatus::OutOfMemory;
        result.facets = ascii.facets;
        return result;
    }
    if (ascii.facets > 0 || !ascii.sawNul) {
        if (ascii.stop == StlAsciiParser::Stop::LineTooLong) {
            result.status = StlLoadStatus::LineTooLong;
            result.line = ascii.line;
        } else if (ascii.solidName) {
            solidName = std::move(ascii.solidName);
        }
        if (result.status == StlLoadStatus::Ok && ascii.facets == 0 && !ascii.closedSolid) {
            result.noFacets = lookOfText(header, size);
        }
        // Text reads far slower than its facets are bounded: one pass afterwards costs little.
        result.bounds = facetBounds(triangles.data() + before, triangles.size() - before);
        return result;
    }

    // Not text, and not of its binary size: binary all the same when longer, else cut short.
    result.expectedSize = expected;
    result.actualSize = size;
    if (!wholeHeader || size < expected) {
        result.status = StlLoadStatus::TruncatedBinary;
        return result;
    }
    if (!source.rewind() || source.read(header.bytes, kStlBinaryHeaderSize) != header.length) {
        result.status = StlLoadStatus::CannotOpen;
        return result;
    }
    StlLoadResult binary = readBinary(source, count, triangles);
    binary.paddedBinary = binary.status == StlLoadStatus::Ok;
    binary.expectedSize = expected;
    binary.actualSize = size;
    return binary;
}

}  // namespace

StlLoadResult readStl(ByteSource& source, std::uintmax_t size, TriangleArray& triangles,
                      std::optional<std::string>& solidName) {
    const std::size_t before = triangles.size();
    const StlLoadResult result = decode(source, size, triangles, solidName);
    if (result.status != StlLoadStatus::Ok) triangles.truncate(before);
    triangles.shrinkToFit();
    return result;
}

StlLoadResult readStlBytes(std::string_view bytes, TriangleArray& triangles,
                           std::optional<std::string>& solidName) {
    MemorySource source(bytes);
    return readStl(source, bytes.size(), triangles, solidName);
}

StlLoadResult readStlFile(const std::string& path, TriangleArray& triangles,
                          std::optional<std::string>& solidName) {
    StlLoadResult result;
    InputFile file;
    switch (file.open(path)) {
        case OpenStatus::CannotOpen:
            result.status = StlLoadStatus::CannotOpen;
            return result;
        case OpenStatus::NotRegularFile:
            result.status = StlLoadStatus::NotRegularFile;
            return result;
        case OpenStatus::Ok:
            break;
    }
    // A small file is read whole with one call and then read from memory; should it have grown
    // meanwhile, it is read as it comes.
    if (file.size() < kWholeFileLimit) {
        const auto size = static_cast<std::size_t>(file.size());
        const std::unique_ptr<char[]> whole(new (std::nothrow) char[size + 1]);
        if (!whole) {
            result.status = StlLoadStatus::OutOfMemory;
            return result;
        }
        const std::size_t got = file.read(whole.get(), size + 1);
        if (got <= size)
            return readStlBytes(std::string_view(whole.get(), got), triangles, solidName);
        if (!file.rewind()) {
            result.status = StlLoadStatus::CannotOpen;
            return result;
        }
    }
    return readStl(file, file.size(), triangles, solidName);
}

}  // namespace pelorin
