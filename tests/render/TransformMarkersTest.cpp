// Marker figures in the frame: the arc in its axis colour through the points of its shape, the
// translation's four coloured segments only when visible, unlit, and lighting back on afterwards.
#include "render/TransformMarkers.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>

#include "scene/RotateTransform.h"
#include "scene/RotationMarkerShape.h"
#include "scene/TranslateTransform.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/MeshDrawing.h"

namespace pelorin {
namespace {

constexpr int kMarkerPictureSize = 120;
constexpr double kMarkerPictureHalf =
    12.0;  // model units from the middle to the edge: 5 pixels a unit

using Rgba = std::array<std::uint8_t, 4>;
constexpr Rgba kWhite{255, 255, 255, 255};
constexpr Rgba kRed{255, 0, 0, 255};
constexpr Rgba kGreen{0, 255, 0, 255};
constexpr Rgba kBlue{0, 0, 255, 255};

Vec3 middle(const Vec3& a, const Vec3& b) {
    return {(a.x + b.x) / 2, (a.y + b.y) / 2, (a.z + b.z) / 2};
}

class TransformMarkersTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl_.ok()) << gl_.error();
        testing::setUpViewerGlState(kMarkerPictureHalf);  // lighting on, as for the meshes
        glRotated(-60.0, 1.0, 0.0, 0.0);  // a view in which no segment stands end on
        glRotated(-30.0, 0.0, 0.0, 1.0);
    }

    // The frame `draw` makes; lighting is on again afterwards.
    template <typename Draw>
    std::vector<std::uint8_t> picture(const Draw& draw) {
        testing::clearFrame();
        draw();
        EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
        return testing::readPixels(kMarkerPictureSize, kMarkerPictureSize);
    }

    // Whether a pixel next to where the model point `p` lands has exactly `colour`.
    static bool drawnAt(const std::vector<std::uint8_t>& frame, const Vec3& p, const Rgba& colour) {
        const auto eye = testing::transformPoint(testing::currentModelview(), p.x, p.y, p.z);
        const auto pixel = [](double v) {
            return std::lround((v / kMarkerPictureHalf + 1.0) * kMarkerPictureSize / 2 - 0.5);
        };
        for (long y = pixel(eye[1]) - 1; y <= pixel(eye[1]) + 1; ++y) {
            for (long x = pixel(eye[0]) - 1; x <= pixel(eye[0]) + 1; ++x) {
                if (x < 0 || y < 0 || x >= kMarkerPictureSize || y >= kMarkerPictureSize) continue;
                if (std::memcmp(&frame[(y * kMarkerPictureSize + x) * 4], colour.data(), 4) == 0)
                    return true;
            }
        }
        return false;
    }

    testing::GlTestContext gl_{kMarkerPictureSize, kMarkerPictureSize};
};

TEST_F(TransformMarkersTest, RotationArcFollowsItsShapeInTheAxisColour) {
    const auto blank = picture([] {});
    RotateTransform z(RotateTransform::kAxisZ, 25.0, "z");
    const auto arc = picture([&] { drawTransformMarker(z); });
    const auto shape = rotationMarkerStrip(RotateTransform::kAxisZ, z.markerRadius(), 25.0);
    ASSERT_EQ(shape.size(), 7U);
    for (std::size_t i = 0; i + 1 < shape.size(); ++i) {
        EXPECT_TRUE(drawnAt(arc, middle(shape[i], shape[i + 1]), kBlue)) << i;
    }
    EXPECT_FALSE(drawnAt(arc, {0.0, z.markerRadius(), 0.0}, kBlue));  // no further than 30 degrees

    RotateTransform x(RotateTransform::kAxisX, 5.0, "x");
    const auto small = picture([&] { drawRotationMarker(x, 8.0); });
    const auto chord = rotationMarkerStrip(RotateTransform::kAxisX, 8.0, 5.0);
    EXPECT_TRUE(drawnAt(small, middle(chord[0], chord[1]), kRed));
    EXPECT_EQ(picture([] { drawTransformMarker(RotateTransform(0, 45.0, "none")); }), blank);
}

TEST_F(TransformMarkersTest, TranslationSegmentsOnlyWhenVisible) {
    const auto blank = picture([] {});
    TranslateTransform move(3.0, 4.0, 5.0, "m");
    EXPECT_EQ(picture([&] { drawTransformMarker(move); }), blank);
    move.setMarkerVisible(true);
    const auto frame = picture([&] { drawTransformMarker(move); });
    const Vec3 corners[4] = {{0, 0, 0}, {3, 0, 0}, {3, 4, 0}, {3, 4, 5}};
    EXPECT_TRUE(drawnAt(frame, middle(corners[0], corners[3]), kWhite));
    const Rgba colours[3] = {kRed, kGreen, kBlue};
    for (int s = 0; s < 3; ++s) {
        EXPECT_TRUE(drawnAt(frame, middle(corners[s], corners[s + 1]), colours[s])) << s;
    }
}

}  // namespace
}  // namespace pelorin
