// The STL mesh object: colour, dump, console messages and its box. How it draws is checked
// against the per-facet way in MeshDrawingTest.
#include "mesh/DrawnObjectBySTL.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <memory>

#include "scene/TranslateTransform.h"
#include "tests/support/MeshDrawing.h"
#include "tests/support/TempDir.h"
#include "util/MessageStream.h"

namespace pelorin {
namespace {

std::string dumpOf(const DrawnObject& object, int indent) {
    StringSink sink;
    MessageStream out(sink, TextEncoding::Cp932);
    object.dump(indent, out);
    return sink.text();
}

TEST(DrawnObjectBySTLTest, DumpAfterColourTransformAndLoadAndDestructorMessage) {
    // A fresh object is white and empty, and every line takes the indent.
    EXPECT_EQ(dumpOf(DrawnObjectBySTL("fresh"), 4),
              "    TYPE = STL\n    NAME = fresh\n    File path = \n    Color = 1,1,1\n"
              "    Number of Triangles = 0\n    Dump Transform\n"
              "        Number of Elements = 0\n        not registered\n");
    testing::TempDir dir;
    auto object = std::make_unique<DrawnObjectBySTL>(0.1F, 0.2F, 0.3F, "body");
    EXPECT_FLOAT_EQ(object->getColor()[1], 0.2F);
    object->setColor(0.5, 1.0 / 3.0, 2.0);
    object->preTrans().pushBack(std::make_unique<TranslateTransform>(1.0, 2.0, 3.0, "place"));
    const std::string path = dir.write("x.stl", "solid part\nfacet\nendfacet\n");
    ASSERT_TRUE(object->loadStl(path));
    const std::string dump = dumpOf(*object, 0);
    EXPECT_EQ(dump,
              "TYPE = STL\n"
              "NAME = part\n"
              "File path = " +
                  path +
                  "\n"
                  "Color = 0.5,0.333333,2\n"
                  "Number of Triangles = 1\n"
                  "Dump Transform\n"
                  "    Number of Elements = 1\n"
                  "    N.o.1\n"
                  "    TranslateTransform\n"
                  "      Name = place\n"
                  "      Transform is Enable\n"
                  "      (x,y,z)=1,2,3\n");
    StringSink console;
    Console::redirect(&console, nullptr, TextEncoding::Cp932);
    object->dumpToConsole();
    object.reset();
    Console::redirect(nullptr, nullptr);
    // The destructor says so in the console's encoding.
    EXPECT_EQ(console.text(), dump +
                                  "\x83"
                                  "f\x83X\x83g\x83\x89\x83N\x83gDrawnObjectBySTL\n");
}

TEST(DrawnObjectBySTLTest, LocalBoundsGrowWithEachLoadAndSkipNonFiniteVertices) {
    testing::TempDir dir;
    DrawnObjectBySTL object("m");
    EXPECT_TRUE(object.localBounds().empty());
    // Binary bounded block by block as it is read (several blocks), ASCII after its reading.
    auto mesh = testing::randomMesh(9000, 3);
    mesh[7].vertex[1][2] = std::numeric_limits<float>::quiet_NaN();
    mesh[8999].vertex[0][0] = -std::numeric_limits<float>::infinity();
    ASSERT_TRUE(object.loadStl(dir.write("a.stl", testing::toBinaryStl(mesh, "a"))));
    auto more = testing::randomMesh(5, 4);
    more[2].vertex[2][1] = std::numeric_limits<float>::infinity();
    ASSERT_TRUE(object.loadStl(dir.write("b.stl", testing::toAsciiStl(more, "b"))));
    EXPECT_FALSE(object.loadStl(dir.file("missing.stl")));
    Box3 expected;
    for (const auto* part : {&mesh, &more}) {
        for (const Triangle& t : *part) {
            for (const auto& v : t.vertex) {
                if (std::isfinite(v[0]) && std::isfinite(v[1]) && std::isfinite(v[2]))
                    expected.add(Vec3{v[0], v[1], v[2]});
            }
        }
    }
    const Box3 box = object.localBounds();
    EXPECT_EQ(std::memcmp(&box, &expected, sizeof box), 0);
}

}  // namespace
}  // namespace pelorin
