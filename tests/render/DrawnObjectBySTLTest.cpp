// The STL mesh object: colour, dump, console messages, its box and what draw sends to GL.
#include "render/DrawnObjectBySTL.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "scene/TranslateTransform.h"
#include "tests/render/StlTestFiles.h"
#include "tests/support/GlFeedback.h"
#include "tests/support/GlTestContext.h"
#include "util/MessageStream.h"

namespace pelorin {
namespace {

constexpr double kFeedbackTolerance = 1e-3;

std::string dumpOf(const DrawnObject& object, int indent) {
    StringSink sink;
    MessageStream out(sink, TextEncoding::Cp932);
    object.dump(indent, out);
    return sink.text();
}

TEST(DrawnObjectBySTLTest, DumpOfAFreshObject) {
    DrawnObjectBySTL object("body");
    EXPECT_EQ(dumpOf(object, 4),
              "    TYPE = STL\n"
              "    NAME = body\n"
              "    File path = \n"
              "    Color = 1,1,1\n"
              "    Number of Triangles = 0\n"
              "    Dump Transform\n"
              "        Number of Elements = 0\n"
              "        not registered\n");
}

TEST(DrawnObjectBySTLTest, DumpAfterColourTransformAndLoad) {
    testing::TempDir dir;
    DrawnObjectBySTL object(0.1F, 0.2F, 0.3F, "body");
    EXPECT_FLOAT_EQ(object.getColor()[1], 0.2F);
    object.setColor(0.5, 1.0 / 3.0, 2.0);
    object.preTrans().pushBack(std::make_unique<TranslateTransform>(1.0, 2.0, 3.0, "place"));
    const std::string path = dir.write("x.stl", "solid part\nfacet\nendfacet\n");
    ASSERT_TRUE(object.loadStl(path));
    EXPECT_EQ(dumpOf(object, 0),
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
    object.dumpToConsole();
    Console::redirect(nullptr, nullptr);
    EXPECT_EQ(console.text(), dumpOf(object, 0));
}

TEST(DrawnObjectBySTLTest, DestructorSaysSoInTheConsoleEncoding) {
    StringSink console;
    Console::redirect(&console, nullptr, TextEncoding::Cp932);
    { DrawnObjectBySTL object("gone"); }
    Console::redirect(nullptr, nullptr);
    EXPECT_EQ(console.text(),
              "\x83"
              "f\x83X\x83g\x83\x89\x83N\x83gDrawnObjectBySTL\n");
}

TEST(DrawnObjectBySTLTest, LocalBoundsGrowWithEachLoadAndSkipNonFiniteVertices) {
    testing::TempDir dir;
    DrawnObjectBySTL object("m");
    EXPECT_TRUE(object.localBounds().empty());
    auto mesh = testing::randomMesh(50, 3);
    mesh[7].vertex[1][2] = std::numeric_limits<float>::quiet_NaN();
    mesh[9].vertex[0][0] = -std::numeric_limits<float>::infinity();
    ASSERT_TRUE(object.loadStl(dir.write("a.stl", testing::toBinaryStl(mesh, "a"))));
    auto more = testing::randomMesh(5, 4);
    ASSERT_TRUE(object.loadStl(dir.write("b.stl", testing::toBinaryStl(more, "b"))));
    EXPECT_FALSE(object.loadStl(dir.path("missing.stl")));
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
    EXPECT_EQ(box.min.x, expected.min.x);
    EXPECT_EQ(box.min.y, expected.min.y);
    EXPECT_EQ(box.min.z, expected.min.z);
    EXPECT_EQ(box.max.x, expected.max.x);
    EXPECT_EQ(box.max.y, expected.max.y);
    EXPECT_EQ(box.max.z, expected.max.z);
}

bool near(const testing::FeedbackVertex& seen, const float* p) {
    return std::abs(seen.position[0] - p[0]) < kFeedbackTolerance &&
           std::abs(seen.position[1] - p[1]) < kFeedbackTolerance &&
           std::abs(seen.position[2] - p[2]) < kFeedbackTolerance;
}

bool matchesCyclically(const testing::FeedbackPrimitive& polygon, const Triangle& t) {
    for (int start = 0; start < 3; ++start) {
        bool all = true;
        for (int v = 0; v < 3; ++v)
            all = all && near(polygon.vertices[v], t.vertex[(start + v) % 3]);
        if (all) return true;
    }
    return false;
}

TEST(DrawnObjectBySTLDrawTest, FacetsInFileOrderInTheObjectsOwnFrameWithItsColour) {
    testing::GlTestContext gl;
    ASSERT_TRUE(gl.ok()) << gl.error();
    testing::TempDir dir;
    const auto mesh = testing::randomMesh(3, 9);
    DrawnObjectBySTL object(0.25F, 0.5F, 0.75F, "m");
    ASSERT_TRUE(object.loadStl(dir.write("m.stl", testing::toBinaryStl(mesh, "bin"))));
    // The chain is the caller's to apply (it is part of the object's pose), not draw's.
    object.preTrans().pushBack(std::make_unique<TranslateTransform>(0.0, 0.0, 100.0, "up"));
    glMatrixMode(GL_MODELVIEW);
    glLoadIdentity();
    const auto capture = testing::captureFeedback([&] { object.draw(); });
    ASSERT_EQ(capture.error, "");
    ASSERT_EQ(capture.primitives.size(), mesh.size());
    for (std::size_t f = 0; f < mesh.size(); ++f) {
        const auto& polygon = capture.primitives[f];
        ASSERT_EQ(polygon.kind, testing::FeedbackPrimitive::Kind::Polygon);
        ASSERT_EQ(polygon.vertices.size(), 3U);
        // GL may report a polygon starting at another vertex; the cyclic order stays.
        EXPECT_TRUE(matchesCyclically(polygon, mesh[f])) << "facet " << f;
    }
    EXPECT_EQ(testing::modelviewStackDepth(), 1);
    GLfloat diffuse[4];
    glGetMaterialfv(GL_FRONT, GL_DIFFUSE, diffuse);
    EXPECT_FLOAT_EQ(diffuse[0], 0.25F);
    EXPECT_FLOAT_EQ(diffuse[1], 0.5F);
    EXPECT_FLOAT_EQ(diffuse[2], 0.75F);
}

}  // namespace
}  // namespace pelorin
