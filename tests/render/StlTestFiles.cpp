#include "tests/render/StlTestFiles.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <random>

namespace pelorin::testing {

TempDir::TempDir() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern = std::string(base != nullptr ? base : "/tmp") + "/pelorin-stl-XXXXXX";
    if (mkdtemp(pattern.data()) == nullptr) {
        ADD_FAILURE() << "cannot create a temporary directory from " << pattern;
    }
    dir_ = pattern;
}

TempDir::~TempDir() {
    std::error_code ignored;
    std::filesystem::remove_all(dir_, ignored);
}

std::string TempDir::write(const std::string& name, const std::string& bytes) const {
    const std::string full = path(name);
    std::FILE* file = std::fopen(full.c_str(), "wb");
    EXPECT_NE(file, nullptr) << "cannot create " << full;
    if (file == nullptr) return full;
    EXPECT_EQ(std::fwrite(bytes.data(), 1, bytes.size(), file), bytes.size()) << full;
    EXPECT_EQ(std::fclose(file), 0) << full;
    return full;
}

std::vector<Triangle> randomMesh(std::size_t count, unsigned seed) {
    std::mt19937 random(seed);
    std::uniform_real_distribution<float> coordinate(-500.0F, 500.0F);
    std::vector<Triangle> mesh(count);
    for (Triangle& t : mesh) {
        for (float& n : t.normal) n = coordinate(random) / 500.0F;
        for (auto& v : t.vertex) {
            for (float& c : v) c = coordinate(random);
        }
    }
    return mesh;
}

namespace {

// %.17g of a double reads back as exactly that double.
std::string exact(double value) {
    char buffer[40];
    std::snprintf(buffer, sizeof buffer, "%.17g", value);
    return buffer;
}

std::string triple(const float* v) {
    return exact(v[0]) + " " + exact(v[1]) + " " + exact(v[2]);
}

void appendLe(std::string& out, std::uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<char>((value >> (8 * i)) & 0xFF));
}

void appendFloat(std::string& out, double value) {
    const float f = static_cast<float>(value);
    std::uint32_t bits;
    std::memcpy(&bits, &f, sizeof bits);
    appendLe(out, bits);
}

}  // namespace

std::string toAsciiStl(const std::vector<Triangle>& mesh, const std::string& name,
                       const AsciiStyle& style) {
    const std::string& e = style.lineEnd;
    const std::string i1 = style.indent;
    const std::string i2 = i1 + i1;
    const std::string i3 = i2 + i1;
    std::string text = "solid " + name + e;
    for (const Triangle& t : mesh) {
        text += i1 + "facet normal " + triple(t.normal) + e + i2 + "outer loop" + e;
        for (const auto& v : t.vertex) text += i3 + "vertex " + triple(v) + e;
        text += i2 + "endloop" + e + i1 + "endfacet" + e;
    }
    return text + "endsolid " + name + e;
}

std::string toBinaryStl(const std::vector<Triangle>& mesh, const std::string& header) {
    std::string bytes = header.substr(0, 80);
    bytes.resize(80, ' ');
    appendLe(bytes, static_cast<std::uint32_t>(mesh.size()));
    for (const Triangle& t : mesh) {
        for (float c : t.normal) appendFloat(bytes, c);
        for (const auto& v : t.vertex) {
            for (float c : v) appendFloat(bytes, c);
        }
        bytes.append(2, '\0');
    }
    return bytes;
}

}  // namespace pelorin::testing
