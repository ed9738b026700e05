// Reading STL: the ASCII grammar and its line bound, the choice between binary and ASCII, the
// refusal of cut-short binary files and of files that are not regular files.
#include <gtest/gtest.h>

#include <unistd.h>

#include <array>
#include <cctype>
#include <cmath>
#include <cstdio>
#include <cstring>

#include "mesh/DrawnObjectBySTL.h"
#include "mesh/StlAsciiParser.h"
#include "mesh/StlBinary.h"
#include "mesh/StlFile.h"
#include "tests/support/MemoryLimit.h"
#include "tests/support/MeshDrawing.h"
#include "tests/support/SpecialFiles.h"
#include "tests/support/TempDir.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

using testing::AsciiStyle;
using testing::TempDir;

bool sameTriangle(const Triangle& a, const Triangle& b) {
    return std::memcmp(a.normal, b.normal, sizeof a.normal) == 0 &&
           std::memcmp(a.vertex, b.vertex, sizeof a.vertex) == 0;
}

template <typename Mesh>
void expectSameMesh(const Mesh& actual, const std::vector<Triangle>& expected) {
    ASSERT_EQ(actual.size(), expected.size());
    for (std::size_t i = 0; i < actual.size(); ++i) {
        ASSERT_TRUE(sameTriangle(actual[i], expected[i])) << "facet " << i;
    }
}

struct Parsed {
    TriangleArray triangles;
    std::optional<std::string> name;
    StlAsciiParser::Stop stop = StlAsciiParser::Stop::None;
    std::size_t line = 0;
};

// Feeds `text` in pieces of `piece` bytes (all at once for 0).
Parsed parseText(const std::string& text, std::size_t piece = 0) {
    Parsed parsed;
    StlAsciiParser parser(parsed.triangles);
    const std::size_t step = piece == 0 ? std::max<std::size_t>(text.size(), 1) : piece;
    for (std::size_t at = 0; at < text.size() && parser.feed(text.substr(at, step)); at += step) {
    }
    parser.finish();
    parsed.name = parser.solidName();
    parsed.stop = parser.stop();
    parsed.line = parser.lineNumber();
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
}

// Several CAD exporters write the keywords in capitals; any case reads alike.
TEST(StlAsciiTest, KeywordsInAnyCase) {
    const auto mesh = testing::randomMesh(3, 5);
    std::string text = testing::toAsciiStl(mesh, "part");
    for (char& c : text) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    const Parsed upper = parseText(text);
    expectSameMesh(upper.triangles, mesh);
    EXPECT_EQ(upper.name, "PART");
    EXPECT_EQ(
        parseText("Solid Mixed\nFacet Normal 0 0 1\nVertex 1 2 3\nEndFacet\n").triangles.size(),
        1U);
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
    for (std::size_t piece : {1U, 2U, 7U, 64U})
        expectSameMesh(parseText(text, piece).triangles, mesh);
}

// A line of kMaxLineBytes is read whole, tokens far apart included; one byte more stops the
// reading at that line, however the bytes arrive. LF, CRLF and a lone CR each end one line.
TEST(StlAsciiTest, LinesLongerThanTheBoundStopTheReadingAtTheirLine) {
    const std::string padding(10000, ' ');
    const std::string longName(5000, 'n');
    const std::string head = "solid " + longName + padding + "x\r\nfacet normal 0 0" + padding +
                             "1\rendfacet\n\n";  // four lines
    const std::string vertex = "vertex" + padding + "1 2 3";
    const std::string longest = vertex + std::string(kMaxLineBytes - vertex.size(), ' ');
    for (std::size_t piece : {0U, 4096U, 1U << 20U}) {
        const Parsed whole = parseText(head + longest + "\r\nendfacet", piece);
        EXPECT_EQ(whole.stop, StlAsciiParser::Stop::None) << piece;
        EXPECT_EQ(whole.name, longName);
        ASSERT_EQ(whole.triangles.size(), 2U) << piece;
        EXPECT_TRUE(sameTriangle(whole.triangles[0], facet({0, 0, 1}, {})));
        EXPECT_TRUE(sameTriangle(whole.triangles[1], facet({}, {1, 2, 3})));

        for (const std::string& tail : {std::string("\n"), std::string()}) {
            const Parsed cut = parseText(head + longest + " " + tail + "endfacet\n", piece);
            EXPECT_EQ(cut.stop, StlAsciiParser::Stop::LineTooLong) << piece;
            EXPECT_EQ(cut.line, 5U) << piece;
            EXPECT_EQ(cut.triangles.size(), 1U) << "nothing after the long line is read";
        }
    }
}

// Numbers convert as "%lf" does (the converter has tests of its own), a whole token each, and
// narrow to float; a token that is no number leaves its component as it was.
TEST(StlAsciiTest, NumbersAreWholeTokensConvertedAsScanfDoes) {
    const Parsed p = parseText(
        "facet normal 0x1p-2 -inf nan\nvertex 1e400 -0 +.5e1junk\nvertex 4.9e-324 x 7\n"
        "vertex 1.5abc 2 3\nendfacet\n");
    ASSERT_EQ(p.triangles.size(), 1U);
    const Triangle& t = p.triangles[0];
    // "1.5abc" reads as 1.5 and y and z are the tokens after it.
    // An infinite vertex leaves the facet no normal of its own for the unusable stored one.
    EXPECT_TRUE(sameTriangle(t, facet({}, {INFINITY, -0.0, 5, 0, 0, 7, 1.5, 2, 3})));
}

class StlFileTest : public ::testing::Test {
  protected:
    TempDir dir_;
};

// One object loads an empty file, then ASCII and binary of one mesh: the facets append, in order.
TEST_F(StlFileTest, AsciiAndBinaryOfOneMeshLoadAlikeAndAppend) {
    const auto mesh = testing::randomMesh(8000, 11);  // several read blocks either way
    DrawnObjectBySTL object("o");
    EXPECT_TRUE(object.loadStl(dir_.write("empty.stl", "")));
    EXPECT_TRUE(object.triangles().empty());
    ASSERT_TRUE(object.loadStl(dir_.write("m.stl", testing::toAsciiStl(mesh, "mesh"))));
    expectSameMesh(object.triangles(), mesh);
    EXPECT_EQ(object.getName(), "mesh");
    // Many exporters start a binary header with "solid"; the size decides.
    const std::string header = std::string("solid other exported") + std::string(60, '\0');
    StlLoadResult result;
    ASSERT_TRUE(object.loadStl(dir_.write("b.stl", testing::toBinaryStl(mesh, header)), &result));
    EXPECT_EQ(result.status, StlLoadStatus::Ok);
    auto twice = mesh;
    twice.insert(twice.end(), mesh.begin(), mesh.end());
    expectSameMesh(object.triangles(), twice);
    EXPECT_EQ(object.getName(), "mesh");  // a binary file has no solid name
    EXPECT_EQ(object.filePath(), dir_.file("b.stl"));
}

// Exporters that store 0,0,0 (or junk) as every normal leave it to the reader: the facet's own
// from its vertex order, by the right-hand rule; a usable stored normal stays as it is.
TEST_F(StlFileTest, ZeroOrNonFiniteNormalsComeFromTheVertexOrder) {
    const std::vector<Triangle> stored = {
        facet({0, 0, 0}, {0, 0, 0, 2, 0, 0, 0, 3, 0}),
        facet({0, 0, 0}, {0, 0, 0, 0, 3, 0, 2, 0, 0}),
        facet({NAN, 1, 0}, {5, 5, 5, 6, 5, 5, 5, 6, 6}),
        facet({0, INFINITY, 0}, {0, 0, 0, 0, 0, 4, 4, 0, 0}),
        facet({0, 0, 0}, {1, 1, 1, 2, 2, 2, 3, 3, 3}),  // no area: no normal to give
        // Edges whose products overflow a float, and ones whose products underflow it.
        facet({0, 0, 0}, {-3e38, 0, 0, 3e38, 0, 0, -3e38, 3e38, 0}),
        facet({0, 0, 0}, {0, 0, 0, 0, 0, 1e-30, 0, 1e-30, 0}),
        facet({0, 0, 7}, {0, 0, 0, 0, 3, 0, 2, 0, 0}),  // kept, length and all
    };
    const float h = std::sqrt(0.5F);
    const std::vector<std::array<float, 3>> normals = {
        {0, 0, 1}, {0, 0, -1}, {0, -h, h}, {0, 1, 0}, {0, 0, 0}, {0, 0, 1}, {-1, 0, 0}, {0, 0, 7}};
    for (const std::string name : {"binary.stl", "ascii.stl"}) {
        DrawnObjectBySTL object("m");
        ASSERT_TRUE(
            object.loadStl(dir_.write(name, name[0] == 'b' ? testing::toBinaryStl(stored, "zero")
                                                           : testing::toAsciiStl(stored, "zero"))));
        ASSERT_EQ(object.triangles().size(), stored.size());
        for (std::size_t f = 0; f < stored.size(); ++f) {
            const Triangle& t = object.triangles()[f];
            for (int k = 0; k < 3; ++k) {
                EXPECT_FLOAT_EQ(t.normal[k], normals[f][k]) << name << " facet " << f;
            }
            EXPECT_EQ(std::memcmp(t.vertex, stored[f].vertex, sizeof t.vertex), 0);
        }
    }
}

// A file that gives no facet loads, and says what it looks like unless it is an explicit empty
// solid.
TEST(StlSourceTest, FilesWithoutFacetsSayWhatTheyLookLike) {
    const std::string noFacets = std::string(80, ' ') + std::string(4, '\0');
    const std::vector<std::pair<std::string, StlNoFacets>> cases = {
        {"", StlNoFacets::EmptyFile},
        {" \r\n\t\n", StlNoFacets::EmptyFile},
        {"version https://git-lfs.github.com/spec/v1\noid sha256:4d7a\nsize 84\n",
         StlNoFacets::LfsPointer},
        {"\xEF\xBB\xBF<?xml version=\"1.0\"?>\n<COLLADA>\n</COLLADA>\n", StlNoFacets::Xml},
        {"solid part\nfacets come later\n", StlNoFacets::Text},
        {noFacets, StlNoFacets::Binary},
        {noFacets + std::string(10, '\0'), StlNoFacets::Binary},  // padded
        {"solid empty\nendsolid empty\n", StlNoFacets::None},
        {"SOLID\r\nENDSOLID", StlNoFacets::None},
        {"facet\nendfacet\n", StlNoFacets::None},
    };
    for (const auto& [bytes, look] : cases) {
        TriangleArray mesh;
        std::optional<std::string> name;
        const StlLoadResult result = readStlBytes(bytes, mesh, name);
        EXPECT_EQ(result.status, StlLoadStatus::Ok) << bytes;
        EXPECT_EQ(result.noFacets, look) << bytes;
    }
}

// Too short for a header, no text: refused, the earlier load kept. A cut-short record list
// and the message with both of its sizes are SectionHandlerTest's PATH cases.
TEST_F(StlFileTest, FileShorterThanAHeaderIsRefusedAndTheMeshKept) {
    DrawnObjectBySTL object("keep");
    ASSERT_TRUE(object.loadStl(dir_.write("first.stl", "solid first\nfacet\nendfacet\n")));
    StlLoadResult result;
    EXPECT_FALSE(object.loadStl(dir_.write("stub.stl", std::string(40, '\0')), &result));
    EXPECT_EQ(result.status, StlLoadStatus::TruncatedBinary);
    EXPECT_EQ(result.expectedSize, 84U);
    EXPECT_EQ(result.actualSize, 40U);
    EXPECT_EQ(object.triangles().size(), 1U);
    EXPECT_EQ(object.getName(), "first");
    EXPECT_EQ(object.filePath(), dir_.file("first.stl"));
}

// Exactly 84 + 50 n bytes is binary; else a file that reads as ASCII STL is ASCII; else a longer
// file is binary with padding.
TEST_F(StlFileTest, PaddedBinaryLoadsAndTextWithNulBytesStaysAscii) {
    const auto mesh = testing::randomMesh(7, 8);
    const std::string padding(16, '\0');
    for (const std::string& header :
         {std::string("solid exported by a CAD program") + std::string(49, ' '),
          std::string(80, '\0')}) {
        DrawnObjectBySTL object("padded");
        StlLoadResult result;
        ASSERT_TRUE(object.loadStl(
            dir_.write("p.stl", testing::toBinaryStl(mesh, header) + padding), &result));
        EXPECT_EQ(result.status, StlLoadStatus::Ok);
        EXPECT_TRUE(result.paddedBinary);
        EXPECT_EQ(result.expectedSize, 84U + 50U * 7U);
        EXPECT_EQ(result.actualSize, 84U + 50U * 7U + 16U);
        expectSameMesh(object.triangles(), mesh);
        EXPECT_EQ(object.getName(), "padded");
    }
    // NUL bytes fill the first line up to where a binary count would stand (a count of 0).
    const std::string nulHeader = "solid part" + std::string(74, '\0') + "\n";
    DrawnObjectBySTL ascii("a");
    StlLoadResult result;
    ASSERT_TRUE(ascii.loadStl(
        dir_.write("n.stl", nulHeader + testing::toAsciiStl(mesh, "part").substr(11)), &result));
    EXPECT_FALSE(result.paddedBinary);
    expectSameMesh(ascii.triangles(), mesh);
}

// A count is a claim until its records arrive: the mesh grows with the records read, so a count
// that the input does not back costs no memory.
TEST(StlBinaryTest, MeshGrowsOnlyAsRecordsArrive) {
    const std::string records(10 * kStlBinaryFacetSize, '\0');
    MemorySource source(records);
    TriangleArray mesh;
    EXPECT_EQ(readStlBinaryFacets(source, 40000000, mesh), StlBinaryRead::InputEnded);
    EXPECT_EQ(mesh.size(), 10U);
    EXPECT_LT(mesh.capacity(), 10000U);
}

// The size steers only the choice of binary; text is read to its end whatever size was given
// (a file that grew after it was opened, or a system file that reports no size).
TEST(StlSourceTest, TextIsReadToItsEndWhateverTheSize) {
    const auto mesh = testing::randomMesh(200, 4);
    const std::string text = testing::toAsciiStl(mesh, "grown");
    for (std::uintmax_t size : {std::uintmax_t{0}, std::uintmax_t{100}}) {
        MemorySource source(text);
        TriangleArray read;
        std::optional<std::string> name;
        EXPECT_EQ(readStl(source, size, read, name).status, StlLoadStatus::Ok);
        expectSameMesh(read, mesh);
        EXPECT_EQ(name, "grown");
    }
}

// Opening a FIFO for reading would wait for a writer; the unblocker turns a wait into a failure.
// A refused file leaves the object as it was.
TEST_F(StlFileTest, OnlyRegularFilesAreReadAndNothingWaits) {
    const std::string fifo = dir_.file("fifo.stl");
    ASSERT_TRUE(testing::makeFifo(fifo));
    testing::SocketFile socket(dir_.file("s.stl"));
    ASSERT_TRUE(socket.ok());
    const std::string target = dir_.write("t.stl", "solid linked\nfacet\nendfacet\n");
    const std::string link = dir_.file("link.stl");
    ASSERT_EQ(symlink(target.c_str(), link.c_str()), 0);
    DrawnObjectBySTL object("keep");
    for (const auto& [path, status] : std::vector<std::pair<std::string, StlLoadStatus>>{
             {fifo, StlLoadStatus::NotRegularFile},
             {dir_.file(""), StlLoadStatus::NotRegularFile},
             {"/dev/null", StlLoadStatus::NotRegularFile},
             {dir_.file("s.stl"), StlLoadStatus::NotRegularFile},
             {dir_.file("absent.stl"), StlLoadStatus::CannotOpen}}) {
        const testing::FifoUnblocker unblocker(fifo, std::chrono::seconds(2));
        StlLoadResult result;
        EXPECT_FALSE(object.loadStl(path, &result)) << path;
        EXPECT_EQ(result.status, status) << path;
    }
    EXPECT_EQ(object.getName(), "keep");
    EXPECT_EQ(object.filePath(), "");
    EXPECT_TRUE(object.triangles().empty());
    EXPECT_TRUE(object.loadStl(link));
    EXPECT_EQ(object.getName(), "linked");
}

// Memory that runs out, in a child process.
class StlMemoryDeathTest : public StlFileTest {
  protected:
    // Ends the child: status 0 and "as expected" on standard error when `ok`.
    [[noreturn]] static void endChild(bool ok) {
        std::fputs(ok ? "as expected" : "otherwise", stderr);
        std::_Exit(ok ? 0 : 1);
    }
};

TEST_F(StlMemoryDeathTest, AsciiMeshThatOutgrowsMemoryFailsAndKeepsTheMesh) {
    if (testing::kSanitizedBuild) GTEST_SKIP() << "no address-space limit under the sanitizers";
    constexpr std::size_t kFacets = 1500000;  // 72 MB of facets from 22 MB of text
    std::string text;
    for (std::size_t i = 0; i < kFacets; ++i) text += "facet\nendfacet\n";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            TriangleArray mesh;
            std::optional<std::string> name;
            const bool first =
                readStlBytes("facet\nendfacet\n", mesh, name).status == StlLoadStatus::Ok;
            testing::limitAddressSpace(std::size_t{32} << 20);
            const StlLoadResult result = readStlBytes(text, mesh, name);
            endChild(first && result.status == StlLoadStatus::OutOfMemory && result.facets > 0 &&
                     result.facets < kFacets && mesh.size() == 1);
        },
        ::testing::ExitedWithCode(0), "as expected");
}

}  // namespace
}  // namespace pelorin
