// Reading STL: the ASCII grammar, binary detection by size, refusal of cut-short binary files.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <random>

#include "render/DrawnObjectBySTL.h"
#include "render/StlAsciiParser.h"
#include "tests/render/StlTestFiles.h"

namespace pelorin {
namespace {

using testing::AsciiStyle;
using testing::TempDir;

bool sameTriangle(const Triangle& a, const Triangle& b) {
    return std::memcmp(a.normal, b.normal, sizeof a.normal) == 0 &&
           std::memcmp(a.vertex, b.vertex, sizeof a.vertex) == 0;
}

void expectSameMesh(const std::vector<Triangle>& actual, const std::vector<Triangle>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_TRUE(sameTriangle(actual[i], expected[i])) << "facet " << i;
    }
}

struct Parsed {
    std::vector<Triangle> triangles;
    std::optional<std::string> name;
};

Parsed parseText(const std::string& text) {
    Parsed parsed;
    StlAsciiParser parser(parsed.triangles);
    parser.feed(text);
    parser.finish();
    parsed.name = parser.solidName();
    return parsed;
}

Triangle facet(std::initializer_list<double> normal, std::initializer_list<double> v) {
    Triangle t;
    std::copy(normal.begin(), normal.end(), t.normal);
    std::copy(v.begin(), v.end(), &t.vertex[0][0]);
    return t;
}

TEST(StlAsciiTest, GrammarOfFacetsAndSolids) {
    const Parsed p = parseText(
        "vertex 9 9 9\n"  // before any facet line: fills the first triangle
        "vertex 8 8 8\n"
        "endfacet\n"
        "facet normal 1e0 0 -0.5\n"
        " outer loop\n"
        "   vertex 1 2 3\n"
        "endfacet\n"
        "facet normal 0 0 1\n"
        "endfacet trailing words\n"  // no vertices: a triangle at the origin
        "facet normal 1\n"           // short line: y and z stay 0
        "vertex 1 2\n"
        "vertex abc 5 6\n"  // not a number: x stays 0
        "vertex 7 8 9\n"
        "vertex 4 4 4\n"  // a fourth vertex is ignored
        "endfacetXYZ\n"   // a prefix is enough
        "vertex 5 5 5\n"  // index not reset at endfacet: still past the third vertex
        "endfacet\n"
        "facet normal 0 1 0\nvertex 1 1 1\n");  // never closed: dropped
    ASSERT_EQ(p.triangles.size(), 5U);
    EXPECT_TRUE(sameTriangle(p.triangles[0], facet({}, {9, 9, 9, 8, 8, 8})));
    EXPECT_TRUE(sameTriangle(p.triangles[1], facet({1, 0, -0.5}, {1, 2, 3})));
    EXPECT_TRUE(sameTriangle(p.triangles[2], facet({0, 0, 1}, {})));
    EXPECT_TRUE(sameTriangle(p.triangles[3], facet({1, 0, 0}, {1, 2, 0, 0, 5, 6, 7, 8, 9})));
    EXPECT_TRUE(sameTriangle(p.triangles[4], facet({}, {})));
    EXPECT_FALSE(p.name.has_value());
}

TEST(StlAsciiTest, SolidNames) {
    EXPECT_EQ(parseText("solid cube\nendsolid cube\n").name, "cube");
    EXPECT_EQ(parseText("solid arm base\n").name, "arm");
    EXPECT_FALSE(parseText("solid\nendsolid\n").name.has_value());
    EXPECT_FALSE(parseText("solid").name.has_value());
    EXPECT_EQ(parseText("solid first\nsolid second\nsolid\n").name, "second");
    EXPECT_EQ(parseText("solid\tname\r\n").name, "name");
    EXPECT_EQ(parseText("solid last").name, "last");  // no final line end
    EXPECT_FALSE(parseText("Solid upper\n").name.has_value());
}

TEST(StlAsciiTest, LineEndsTabsAndChunkingDoNotMatter) {
    const auto mesh = testing::randomMesh(20, 3);
    const Parsed lf = parseText(testing::toAsciiStl(mesh, "m"));
    expectSameMesh(lf.triangles, mesh);
    for (const AsciiStyle& style : {AsciiStyle{"\r\n", "  "}, AsciiStyle{"\r", " "},
                                    AsciiStyle{"\n", "\t"}, AsciiStyle{"\r\n", "\t \t"}}) {
        const Parsed p = parseText(testing::toAsciiStl(mesh, "m", style));
        expectSameMesh(p.triangles, mesh);
        EXPECT_EQ(p.name, "m");
    }
    // Any split of the bytes into pieces reads the same.
    const std::string text = testing::toAsciiStl(mesh, "m", {"\r\n", "\t"});
    for (std::size_t piece : {1U, 2U, 7U, 64U}) {
        std::vector<Triangle> triangles;
        StlAsciiParser parser(triangles);
        for (std::size_t at = 0; at < text.size(); at += piece) {
            parser.feed(std::string_view(text).substr(at, piece));
        }
        parser.finish();
        expectSameMesh(triangles, mesh);
    }
}

TEST(StlAsciiTest, LongLinesAreWhole) {
    const std::string padding(10000, ' ');
    const std::string longName(5000, 'n');
    const Parsed p = parseText("solid " + longName + padding + "x\nfacet normal 0 0 " + padding +
                               "1\nvertex" + padding + "1 2 3" + padding + "\nendfacet\n");
    EXPECT_EQ(p.name, longName);
    ASSERT_EQ(p.triangles.size(), 1U);
    EXPECT_TRUE(sameTriangle(p.triangles[0], facet({0, 0, 1}, {1, 2, 3})));
}

TEST(StlAsciiTest, NumbersConvertAsScanfDoes) {
    const Parsed p = parseText(
        "facet normal 0x1p-2 -inf nan\nvertex 1e400 -0 +.5e1junk\nvertex 4.9e-324 1e 0x\n"
        "endfacet\n");
    ASSERT_EQ(p.triangles.size(), 1U);
    const Triangle& t = p.triangles[0];
    EXPECT_EQ(t.normal[0], 0.25);
    EXPECT_EQ(t.normal[1], -INFINITY);
    EXPECT_TRUE(std::isnan(t.normal[2]));
    EXPECT_EQ(t.vertex[0][0], INFINITY);
    EXPECT_TRUE(std::signbit(t.vertex[0][1]));
    EXPECT_EQ(t.vertex[0][2], 5.0);
    EXPECT_EQ(t.vertex[1][0], static_cast<float>(4.9e-324));
    double scanned = -1;
    EXPECT_EQ(static_cast<float>(std::sscanf("1e", "%lf", &scanned) == 1 ? scanned : 0.0),
              t.vertex[1][1]);
    EXPECT_EQ(static_cast<float>(std::sscanf("0x", "%lf", &scanned) == 1 ? scanned : 0.0),
              t.vertex[1][2]);
}

// Lines whose first token begins with "endfacet", counted the plain way.
std::size_t endfacetLines(const std::string& text) {
    std::size_t count = 0;
    for (std::size_t pos = 0; pos <= text.size();) {
        std::size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string::npos) end = text.size();
        const std::string line = text.substr(pos, end - pos);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first != std::string::npos && line.compare(first, 8, "endfacet") == 0) ++count;
        pos = end + 1;
    }
    return count;
}

// Arbitrary bytes and keyword soup never crash the reader, and every "endfacet" line makes
// exactly one triangle.
TEST(StlAsciiTest, GarbageIsReadSafely) {
    static const char* const kWords[] = {"solid", "facet",  "endfacet", "vertex", "normal",
                                         "1e9",   "-0x1p3", "nan(",     "\t",     " ",
                                         "\r",    "\n",     "inf"};
    std::mt19937 random(99);
    for (int round = 0; round < 300; ++round) {
        std::string text;
        for (int i = 0; i < 300; ++i) {
            if (random() % 5 == 0) {
                text.push_back(static_cast<char>(random() % 256));
            } else {
                text += kWords[random() % (sizeof kWords / sizeof kWords[0])];
            }
        }
        EXPECT_EQ(parseText(text).triangles.size(), endfacetLines(text)) << "round " << round;
    }
}

class StlFileTest : public ::testing::Test {
  protected:
    TempDir dir_;
};

TEST_F(StlFileTest, AsciiAndBinaryOfOneMeshLoadAlike) {
    const auto mesh = testing::randomMesh(30000, 11);  // several read blocks
    DrawnObjectBySTL ascii("a");
    DrawnObjectBySTL binary("b");
    ASSERT_TRUE(ascii.loadStl(dir_.write("m.stl", testing::toAsciiStl(mesh, "mesh"))));
    // Many exporters start a binary header with "solid"; the size decides.
    const std::string header = std::string("solid mesh exported") + std::string(61, '\0');
    StlLoadResult result;
    ASSERT_TRUE(binary.loadStl(dir_.write("b.stl", testing::toBinaryStl(mesh, header)), &result));
    EXPECT_EQ(result.status, StlLoadStatus::Ok);
    expectSameMesh(ascii.triangles(), mesh);
    expectSameMesh(binary.triangles(), mesh);
    EXPECT_EQ(ascii.getName(), "mesh");
    EXPECT_EQ(binary.getName(), "b");  // a binary file has no solid name
    EXPECT_EQ(binary.filePath(), dir_.path("b.stl"));
}

TEST_F(StlFileTest, CutShortBinaryIsRefusedWithBothSizes) {
    const auto mesh = testing::randomMesh(10, 5);
    const std::string whole = testing::toBinaryStl(mesh, std::string(80, '\0'));
    DrawnObjectBySTL object("keep");
    ASSERT_TRUE(object.loadStl(dir_.write("first.stl", "solid first\nfacet\nendfacet\n")));
    StlLoadResult result;
    EXPECT_FALSE(object.loadStl(dir_.write("cut.stl", whole.substr(0, whole.size() - 7)), &result));
    EXPECT_EQ(result.status, StlLoadStatus::TruncatedBinary);
    EXPECT_EQ(result.expectedSize, 84U + 50U * 10U);
    EXPECT_EQ(result.actualSize, 84U + 50U * 10U - 7U);
    EXPECT_EQ(object.triangles().size(), 1U);
    EXPECT_EQ(object.getName(), "first");
    EXPECT_EQ(object.filePath(), dir_.path("first.stl"));

    EXPECT_FALSE(object.loadStl(dir_.write("stub.stl", whole.substr(0, 40)), &result));
    EXPECT_EQ(result.status, StlLoadStatus::TruncatedBinary);
    EXPECT_EQ(result.expectedSize, 84U);
    EXPECT_EQ(result.actualSize, 40U);
    EXPECT_EQ(object.triangles().size(), 1U);
}

TEST_F(StlFileTest, MissingFileOrDirectoryLeavesTheObjectAlone) {
    DrawnObjectBySTL object("name");
    StlLoadResult result;
    EXPECT_FALSE(object.loadStl(dir_.path("absent.stl"), &result));
    EXPECT_EQ(result.status, StlLoadStatus::CannotOpen);
    EXPECT_FALSE(object.loadStl(dir_.path(""), &result));
    EXPECT_EQ(result.status, StlLoadStatus::CannotOpen);
    EXPECT_EQ(object.getName(), "name");
    EXPECT_EQ(object.filePath(), "");
    EXPECT_TRUE(object.triangles().empty());
}

TEST_F(StlFileTest, RandomFilesAreReadOrRefusedNeverMisread) {
    std::mt19937 random(5);
    for (int round = 0; round < 100; ++round) {
        std::string bytes(random() % 400, '\0');
        for (char& c : bytes) c = static_cast<char>(random() % 256);
        if (round % 2 == 0 && bytes.size() >= 84) {  // a count that matches the size
            const std::uint32_t count = static_cast<std::uint32_t>((bytes.size() - 84) / 50);
            bytes.resize(84 + 50 * count);
            for (int i = 0; i < 4; ++i)
                bytes[80 + i] = static_cast<char>((count >> (8 * i)) & 0xFF);
        }
        DrawnObjectBySTL object("r");
        StlLoadResult result;
        const bool loaded = object.loadStl(dir_.write("r.stl", bytes), &result);
        const bool nulInHeader = bytes.substr(0, 84).find('\0') != std::string::npos;
        const bool binarySize = round % 2 == 0 && bytes.size() >= 84;
        EXPECT_EQ(loaded, binarySize || !nulInHeader) << "round " << round;
        if (binarySize) {
            EXPECT_EQ(object.triangles().size(), (bytes.size() - 84) / 50);
        }
        if (!loaded) {
            EXPECT_EQ(result.status, StlLoadStatus::TruncatedBinary);
            EXPECT_EQ(result.actualSize, bytes.size());
        }
    }
}

TEST_F(StlFileTest, FilesAppendAndEmptyFilesLoad) {
    const auto first = testing::randomMesh(3, 1);
    const auto second = testing::randomMesh(4, 2);
    DrawnObjectBySTL object("name");
    EXPECT_TRUE(object.loadStl(dir_.write("empty.stl", "")));
    EXPECT_TRUE(object.triangles().empty());
    ASSERT_TRUE(object.loadStl(dir_.write("1.stl", testing::toAsciiStl(first, "one"))));
    ASSERT_TRUE(object.loadStl(dir_.write("2.stl", testing::toBinaryStl(second, "binary"))));
    ASSERT_TRUE(
        object.loadStl(dir_.write("3.stl", "solid\n" + testing::toAsciiStl(first, "three"))));
    auto expected = first;
    expected.insert(expected.end(), second.begin(), second.end());
    expected.insert(expected.end(), first.begin(), first.end());
    expectSameMesh(object.triangles(), expected);
    EXPECT_EQ(object.getName(), "three");
    EXPECT_EQ(object.filePath(), dir_.path("3.stl"));
}

}  // namespace
}  // namespace pelorin
