#include "fuzz/StlReference.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstring>

#include "util/TextHelpers.h"

namespace pelorin::fuzz {
namespace {

constexpr std::size_t kHeaderBytes = 84;
constexpr std::size_t kCountAt = 80;
constexpr std::size_t kRecordBytes = 50;

struct AsciiReading {
    std::vector<Triangle> facets;
    std::optional<std::string> solidName;
    bool longLine = false;
};

// Lines end at LF, CR or CRLF.
std::vector<std::string_view> splitLines(std::string_view bytes) {
    std::vector<std::string_view> lines;
    std::size_t pos = 0;
    while (pos < bytes.size()) {
        const std::size_t end = bytes.find_first_of("\r\n", pos);
        if (end == std::string_view::npos) {
            lines.push_back(bytes.substr(pos));
            break;
        }
        lines.push_back(bytes.substr(pos, end - pos));
        pos = end + 1;
        if (bytes[end] == '\r' && pos < bytes.size() && bytes[pos] == '\n') ++pos;
    }
    return lines;
}

std::vector<std::string> splitTokens(std::string_view line) {
    std::vector<std::string> tokens;
    std::size_t pos = 0;
    while ((pos = line.find_first_not_of(" \t", pos)) != std::string_view::npos) {
        const std::size_t end = std::min(line.find_first_of(" \t", pos), line.size());
        tokens.emplace_back(line.substr(pos, end - pos));
        pos = end;
    }
    return tokens;
}

// Tokens first..first+2, those present; one sscanf cannot read leaves its component alone.
void scanTriple(const std::vector<std::string>& tokens, std::size_t first, float* xyz) {
    for (std::size_t k = 0; k < 3 && first + k < tokens.size(); ++k) {
        double value = 0;
        if (std::sscanf(tokens[first + k].c_str(), "%lf", &value) == 1) {
            xyz[k] = static_cast<float>(value);
        }
    }
}

// The cross product of the edges from the first vertex in `Real`, divided by its length; false
// when its squared length is not a normal number of `Real`.
template <typename Real>
bool crossInto(const Triangle& facet, float* n) {
    const float* p = facet.vertex[0];
    const float* q = facet.vertex[1];
    const float* r = facet.vertex[2];
    const Real ux = Real(q[0]) - Real(p[0]), uy = Real(q[1]) - Real(p[1]);
    const Real uz = Real(q[2]) - Real(p[2]), vx = Real(r[0]) - Real(p[0]);
    const Real vy = Real(r[1]) - Real(p[1]), vz = Real(r[2]) - Real(p[2]);
    const Real x = uy * vz - uz * vy, y = uz * vx - ux * vz, z = ux * vy - uy * vx;
    const Real squared = x * x + y * y + z * z;
    if (!std::isnormal(squared)) return false;
    const Real inverse = Real(1) / std::sqrt(squared);
    n[0] = static_cast<float>(x * inverse);
    n[1] = static_cast<float>(y * inverse);
    n[2] = static_cast<float>(z * inverse);
    return true;
}

// A normal that is not finite or is 0,0,0 becomes the unit cross product of the edges from the
// first vertex, in floats, or in doubles where floats overflow or underflow; 0,0,0 when neither
// gives one.
void completeNormal(Triangle& facet) {
    float* n = facet.normal;
    const bool finite = std::isfinite(n[0]) && std::isfinite(n[1]) && std::isfinite(n[2]);
    if (finite && (n[0] != 0.0F || n[1] != 0.0F || n[2] != 0.0F)) return;
    if (crossInto<float>(facet, n) || crossInto<double>(facet, n)) return;
    n[0] = n[1] = n[2] = 0.0F;
}

AsciiReading readAsciiPlainly(std::string_view bytes) {
    AsciiReading reading;
    Triangle current;
    int vertex = 0;
    for (std::string_view line : splitLines(bytes)) {
        if (line.size() > kMaxLineBytes) {
            reading.longLine = true;
            return reading;
        }
        const std::vector<std::string> tokens = splitTokens(line);
        if (tokens.empty()) continue;
        std::string first = tokens[0];  // keywords in any case
        for (char& c : first) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
        if (first == "solid") {
            if (tokens.size() > 1) reading.solidName = tokens[1];
        } else if (first == "facet") {
            vertex = 0;
            scanTriple(tokens, 2, current.normal);
        } else if (first.compare(0, 8, "endfacet") == 0) {
            completeNormal(current);
            reading.facets.push_back(current);
            current = Triangle{};
        } else if (first == "vertex") {
            if (vertex < 3) scanTriple(tokens, 1, current.vertex[vertex]);
            if (vertex <= 3) ++vertex;
        }
    }
    return reading;
}

std::uint32_t littleEndian32(const unsigned char* p) {
    return std::uint32_t{p[0]} | std::uint32_t{p[1]} << 8 | std::uint32_t{p[2]} << 16 |
           std::uint32_t{p[3]} << 24;
}

std::vector<Triangle> readRecords(std::string_view bytes, std::uint32_t count) {
    std::vector<Triangle> facets(count);
    const auto* at = reinterpret_cast<const unsigned char*>(bytes.data()) + kHeaderBytes;
    for (Triangle& facet : facets) {
        float* floats[12] = {&facet.normal[0], &facet.normal[1], &facet.normal[2]};
        for (int k = 3; k < 12; ++k) floats[k] = &facet.vertex[(k - 3) / 3][(k - 3) % 3];
        for (std::size_t k = 0; k < 12; ++k) {
            const std::uint32_t bits = littleEndian32(at + 4 * k);
            std::memcpy(floats[k], &bits, sizeof bits);
        }
        completeNormal(facet);
        at += kRecordBytes;
    }
    return facets;
}

}  // namespace

StlExpectation expectStl(std::string_view bytes) {
    StlExpectation expect;
    const bool wholeHeader = bytes.size() >= kHeaderBytes;
    const std::uint32_t count =
        wholeHeader
            ? littleEndian32(reinterpret_cast<const unsigned char*>(bytes.data()) + kCountAt)
            : 0;
    const std::uintmax_t binarySize =
        wholeHeader ? kHeaderBytes + std::uintmax_t{kRecordBytes} * count : kHeaderBytes;
    if (wholeHeader && bytes.size() == binarySize) {
        expect.facets = readRecords(bytes, count);
        return expect;
    }
    AsciiReading ascii = readAsciiPlainly(bytes);
    if (ascii.longLine) {
        expect.modelled = false;
        return expect;
    }
    const bool text = bytes.find('\0') == std::string_view::npos;
    if (text || !ascii.facets.empty()) {
        expect.facets = std::move(ascii.facets);
        expect.solidName = std::move(ascii.solidName);
        return expect;
    }
    expect.expectedSize = binarySize;
    expect.actualSize = bytes.size();
    if (bytes.size() < binarySize) {
        expect.status = StlLoadStatus::TruncatedBinary;
        return expect;
    }
    expect.paddedBinary = true;
    expect.facets = readRecords(bytes, count);
    return expect;
}

}  // namespace pelorin::fuzz
