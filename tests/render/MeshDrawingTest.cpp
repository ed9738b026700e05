// Meshes drawn from arrays (buffer objects and client arrays) against the per-facet way they
// were drawn before: the same pixels, byte for byte.
#include <GL/gl.h>
#include <GL/glext.h>
#include <gtest/gtest.h>

#include "mesh/DrawnObjectBySTL.h"
#include "render/FacetArrays.h"
#include "render/MeshBuffers.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/MeshDrawing.h"
#include "tests/support/TempDir.h"

namespace pelorin {
namespace {

constexpr int kPictureSize = 200;
constexpr double kPictureHalf = 120.0;

class MeshDrawingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl_.ok()) << gl_.error();
        testing::setUpViewerGlState(kPictureHalf);
        glRotated(-35.0, 1.0, 0.0, 0.0);
        glRotated(20.0, 0.0, 1.0, 0.0);
    }

    // The mesh, loaded from a binary STL file written for it, as the program would hold it.
    std::unique_ptr<DrawnObjectBySTL> load(const std::vector<Triangle>& facets, float r, float g,
                                           float b) {
        auto mesh = std::make_unique<DrawnObjectBySTL>(r, g, b, "mesh");
        EXPECT_TRUE(mesh->loadStl(dir_.write("m" + std::to_string(files_++) + ".stl",
                                             testing::toBinaryStl(facets, "mesh"))));
        return mesh;
    }

    template <typename Draw>
    std::vector<std::uint8_t> picture(const Draw& draw) {
        testing::clearFrame();
        draw();
        return testing::readPixels(kPictureSize, kPictureSize);
    }

    static void expectSame(const std::vector<std::uint8_t>& reference,
                           const std::vector<std::uint8_t>& drawn, const char* way) {
        const auto difference = testing::comparePixels(reference, drawn);
        EXPECT_EQ(difference.bytes, 0U) << way << ": " << difference.pixels << " pixels differ";
    }

    testing::GlTestContext gl_{kPictureSize, kPictureSize};
    testing::TempDir dir_;
    int files_ = 0;
};

TEST_F(MeshDrawingTest, ArraysDrawTheSamePixelsAsOneCallPerFacet) {
    // More facets than one scratch load, so the client arrays are drawn in several pieces; and a
    // second mesh of its own colour overlapping the first.
    const auto sphere = testing::sphereMesh(70, 90, 100.0F);
    ASSERT_GT(sphere.size(), 2 * kFacetsPerScratch);
    auto wave = testing::wavyGrid(60, 80.0F, 15.0F, 20.0F);
    for (Triangle& t : wave) t.vertex[1][2] += 30.0F;  // facets that are not flat on the grid
    const auto first = load(sphere, 0.9F, 0.6F, 0.2F);
    const auto second = load(wave, 0.3F, 0.5F, 1.0F);

    const auto reference = picture([&] {
        testing::drawFacetsOneByOne(first->triangles().data(), first->triangles().size(),
                                    first->getColor());
        testing::drawFacetsOneByOne(second->triangles().data(), second->triangles().size(),
                                    second->getColor());
    });
    std::size_t lit = 0;
    for (std::size_t i = 0; i < reference.size(); i += 4) lit += reference[i] > 0 ? 1 : 0;
    EXPECT_GT(lit, static_cast<std::size_t>(kPictureSize * kPictureSize / 3));

    MeshBuffers buffers;
    const auto fromBuffers = picture([&] {
        buffers.draw(*first);
        buffers.draw(*second);
    });
    EXPECT_TRUE(buffers.usesBufferObjects());
    EXPECT_EQ(buffers.bufferBytes(), (sphere.size() + wave.size()) * kArrayBytesPerFacet);
    expectSame(reference, fromBuffers, "buffer objects");
    // Drawn again from the buffers made by the first frame.
    expectSame(reference, picture([&] {
                   buffers.draw(*first);
                   buffers.draw(*second);
               }),
               "buffer objects, second frame");

    MeshBuffers client(MeshBuffers::Storage::ClientArrays);
    expectSame(reference, picture([&] {
                   client.draw(*first);
                   client.draw(*second);
               }),
               "client arrays");
    EXPECT_FALSE(client.usesBufferObjects());
    EXPECT_EQ(client.bufferBytes(), 0U);
    buffers.release();
    EXPECT_EQ(buffers.bufferBytes(), 0U);
}

TEST_F(MeshDrawingTest, DrawingLeavesNoArrayStateBehindAndFollowsAnotherLoad) {
    const auto mesh = load(testing::sphereMesh(10, 12, 60.0F), 1.0F, 1.0F, 1.0F);
    MeshBuffers buffers;
    const auto before = picture([&] { buffers.draw(*mesh); });
    EXPECT_FALSE(glIsEnabled(GL_VERTEX_ARRAY));
    EXPECT_FALSE(glIsEnabled(GL_NORMAL_ARRAY));
    GLint bound = -1;
    glGetIntegerv(GL_ARRAY_BUFFER_BINDING, &bound);
    EXPECT_EQ(bound, 0);

    // Facets appended after the first frame reach the picture: the buffer is made again.
    auto moved = testing::sphereMesh(10, 12, 30.0F);
    for (Triangle& t : moved) {
        for (auto& v : t.vertex) v[0] += 80.0F;
    }
    ASSERT_TRUE(mesh->loadStl(dir_.write("more.stl", testing::toBinaryStl(moved, "more"))));
    const auto reference = picture([&] {
        testing::drawFacetsOneByOne(mesh->triangles().data(), mesh->triangles().size(),
                                    mesh->getColor());
    });
    const auto after = picture([&] { buffers.draw(*mesh); });
    EXPECT_GT(testing::comparePixels(before, after).pixels, 0U);
    expectSame(reference, after, "after a second load");
    EXPECT_EQ(buffers.bufferBytes(), mesh->triangles().size() * kArrayBytesPerFacet);
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
    buffers.release();

    const DrawnObjectBySTL empty("empty");
    const auto blank = picture([&] { buffers.draw(empty); });
    EXPECT_EQ(testing::comparePixels(blank, picture([] {})).bytes, 0U);
}

}  // namespace
}  // namespace pelorin
