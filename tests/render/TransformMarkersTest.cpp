// Marker figures as GL draws them: the arc's strip in its axis colour, the translation's four
// coloured segments, and lighting back on afterwards.
#include "render/TransformMarkers.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include "scene/RotateTransform.h"
#include "scene/RotationMarkerShape.h"
#include "scene/TranslateTransform.h"
#include "tests/support/GlFeedback.h"
#include "tests/support/GlTestContext.h"

namespace pelorin {
namespace {

using testing::captureFeedback;
using testing::FeedbackPrimitive;

constexpr double kFeedbackTolerance = 1e-3;  // feedback goes through float window coordinates

void expectAt(const testing::FeedbackVertex& seen, const Vec3& p) {
    EXPECT_NEAR(seen.position[0], p.x, kFeedbackTolerance);
    EXPECT_NEAR(seen.position[1], p.y, kFeedbackTolerance);
    EXPECT_NEAR(seen.position[2], p.z, kFeedbackTolerance);
}

class TransformMarkersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl_.ok()) << gl_.error();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
        glEnable(GL_LIGHTING);
    }
    testing::GlTestContext gl_;
};

TEST_F(TransformMarkersTest, RotationArcIsOneStripInTheAxisColour) {
    RotateTransform z(RotateTransform::kAxisZ, 25.0, "z");
    const auto capture = captureFeedback([&] { drawTransformMarker(z); });
    ASSERT_EQ(capture.error, "");
    const auto shape = rotationMarkerStrip(RotateTransform::kAxisZ, z.markerRadius(), 25.0);
    ASSERT_EQ(capture.primitives.size(), shape.size() - 1);
    for (std::size_t i = 0; i + 1 < shape.size(); ++i) {
        const auto& line = capture.primitives[i];
        EXPECT_TRUE(line.kind == FeedbackPrimitive::Kind::Line ||
                    line.kind == FeedbackPrimitive::Kind::LineReset);
        expectAt(line.vertices[0], shape[i]);
        expectAt(line.vertices[1], shape[i + 1]);
        EXPECT_EQ(line.vertices[1].color, (std::array<float, 4>{0, 0, 1, 1}));
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));

    RotateTransform x(RotateTransform::kAxisX, 5.0, "x");
    const auto atRadius = captureFeedback([&] { drawRotationMarker(x, 2.0); });
    ASSERT_EQ(atRadius.primitives.size(), 1U);
    expectAt(atRadius.primitives[0].vertices[1], rotationMarkerStrip(1, 2.0, 5.0)[1]);
    EXPECT_EQ(atRadius.primitives[0].vertices[0].color, (std::array<float, 4>{1, 0, 0, 1}));
    EXPECT_TRUE(captureFeedback([&] {
                    drawTransformMarker(RotateTransform(0, 45.0, "none"));
                }).primitives.empty());
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(TransformMarkersTest, TranslationSegmentsOnlyWhenVisible) {
    TranslateTransform move(3.0, 4.0, 5.0, "m");
    EXPECT_TRUE(captureFeedback([&] { drawTransformMarker(move); }).primitives.empty());
    move.setMarkerVisible(true);
    const auto capture = captureFeedback([&] { drawTransformMarker(move); });
    ASSERT_EQ(capture.primitives.size(), 4U);
    const Vec3 segments[4][2] = {{{0, 0, 0}, {3, 4, 5}},
                                 {{0, 0, 0}, {3, 0, 0}},
                                 {{3, 0, 0}, {3, 4, 0}},
                                 {{3, 4, 0}, {3, 4, 5}}};
    const std::array<std::array<float, 4>, 4> colours = {
        {{1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}}};
    for (std::size_t s = 0; s < 4; ++s) {
        const auto& v = capture.primitives[s].vertices;
        ASSERT_EQ(v.size(), 2U);
        expectAt(v[0], segments[s][0]);
        expectAt(v[1], segments[s][1]);
        EXPECT_EQ(v[0].color, colours[s]) << s;
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

}  // namespace
}  // namespace pelorin
