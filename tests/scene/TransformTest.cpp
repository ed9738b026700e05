// Transform elements and chains as matrices, the shape of their markers, and their dumps. No
// display is needed: the arithmetic is checked on its own.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>

#include "scene/RotateTransform.h"
#include "scene/RotationMarkerShape.h"
#include "scene/TransformChain.h"
#include "scene/TranslateTransform.h"

namespace pelorin {
namespace {

constexpr double kExact = 1e-9;
constexpr double kMarkerK = 3.14 / 180.0;

void expectPoint(const Vec3& p, double x, double y, double z, double tolerance = kExact) {
    EXPECT_NEAR(p.x, x, tolerance);
    EXPECT_NEAR(p.y, y, tolerance);
    EXPECT_NEAR(p.z, z, tolerance);
}

void expectIdentity(const Matrix4& m, double tolerance = kExact) {
    for (int i = 0; i < 16; ++i) EXPECT_NEAR(m.m[i], i % 5 == 0 ? 1.0 : 0.0, tolerance) << i;
}

TEST(TransformMatrixTest, ChainRotatesFirstThenTranslates) {
    TransformChain chain("input trans");
    chain.pushBack(std::make_unique<TranslateTransform>(0.0, 0.0, 100.0, "t"));
    chain.pushBack(std::make_unique<RotateTransform>(RotateTransform::kAxisZ, 90.0, "r"));
    expectPoint(transformPoint(chain.matrix(), {1, 0, 0}), 0.0, 1.0, 100.0);

    TransformChain front("c");
    front.pushBack(std::make_unique<RotateTransform>(RotateTransform::kAxisZ, 90.0, "r"));
    front.pushFront(std::make_unique<TranslateTransform>(0.0, 0.0, 100.0, "t"));
    expectPoint(transformPoint(front.matrix(), {1, 0, 0}), 0.0, 1.0, 100.0);
    expectIdentity(TransformChain("empty").matrix());
}

TEST(TransformMatrixTest, RotationFlagsAndAxes) {
    RotateTransform inverted(RotateTransform::kAxisZ, 30.0, "inv");
    inverted.setInverted(true);
    const double rad = 30.0 * M_PI / 180.0;
    expectPoint(transformPoint(inverted.matrix(), {1, 0, 0}), std::cos(rad), -std::sin(rad), 0);

    RotateTransform disabled(RotateTransform::kAxisX, 45.0, "off");
    disabled.setEnabled(false);
    expectIdentity(disabled.matrix());
    for (int axis : {0, 4, -1}) expectIdentity(RotateTransform(axis, 45.0, "undefined").matrix());

    // Each axis turns counter-clockwise seen from its positive end, as glRotated does.
    const auto quarterTurn = [](int axis, const Vec3& p) {
        return transformPoint(RotateTransform(axis, 90.0, "q").matrix(), p);
    };
    expectPoint(quarterTurn(RotateTransform::kAxisX, {0, 1, 0}), 0, 0, 1);
    expectPoint(quarterTurn(RotateTransform::kAxisY, {1, 0, 0}), 0, 0, -1);
    expectPoint(quarterTurn(RotateTransform::kAxisZ, {1, 0, 0}), 0, 1, 0);
    // A translation ignores the flag: nothing in the system clears it, and drawing never did.
    TranslateTransform move(1.0, 2.0, 3.0, "m");
    move.setEnabled(false);
    expectPoint(transformPoint(move.matrix(), {0, 0, 0}), 1, 2, 3);
}

TEST(TransformChainTest, FindReturnsTheFirstElementOfAName) {
    TransformChain chain("c");
    chain.pushBack(std::make_unique<TranslateTransform>("a"));
    chain.pushBack(std::make_unique<RotateTransform>("b"));
    chain.pushBack(std::make_unique<TranslateTransform>("b"));
    ASSERT_EQ(chain.size(), 3U);
    EXPECT_EQ(chain.find("b"), chain.elements()[1].get());
    EXPECT_EQ(chain.find("B"), nullptr);
    EXPECT_EQ(chain.find("a"), chain.elements()[0].get());
}

void expectArc(const std::vector<Vec3>& points, const std::vector<double>& degrees, double radius) {
    ASSERT_EQ(points.size(), degrees.size());
    for (std::size_t i = 0; i < degrees.size(); ++i) {
        expectPoint(points[i], radius * std::cos(degrees[i] * kMarkerK),
                    radius * std::sin(degrees[i] * kMarkerK), 0.0);
    }
}

TEST(RotationMarkerShapeTest, ChordsStripsAxesAndRadius) {
    const auto strip = [](double angle) {
        return rotationMarkerStrip(RotateTransform::kAxisZ, 10.0, angle);
    };
    expectArc(strip(5.0), {0, 5}, 10.0);
    expectArc(strip(-9.5), {0, -9.5}, 10.0);
    expectArc(strip(10.0), {0, 10, 10}, 10.0);
    expectArc(strip(25.0), {0, 10, 10, 20, 20, 30, 25}, 10.0);
    // Negative angles are drawn towards the negative side.
    expectArc(strip(-25.0), {0, -10, -10, -20, -20, -30, -25}, 10.0);
    // Beyond a full turn only the last turn is drawn; it ends exactly as the full arc would.
    const auto big = strip(725.0);
    ASSERT_EQ(big.size(), 73U);
    expectArc({big.end() - 3, big.end()}, {720, 730, 725}, 10.0);
    EXPECT_LE(strip(std::numeric_limits<double>::infinity()).size(), 1U);
    EXPECT_LE(strip(std::nan("")).size(), 1U);

    // The other axes, and another radius.
    const auto x = rotationMarkerStrip(RotateTransform::kAxisX, 2.0, 5.0);
    ASSERT_EQ(x.size(), 2U);
    expectPoint(x[1], 0.0, 2.0 * std::cos(5 * kMarkerK), 2.0 * std::sin(5 * kMarkerK));
    const auto y = rotationMarkerStrip(RotateTransform::kAxisY, 10.0, 5.0);
    ASSERT_EQ(y.size(), 2U);
    expectPoint(y[1], 10.0 * std::cos(5 * kMarkerK), 0.0, 10.0 * std::sin(5 * kMarkerK));
    EXPECT_TRUE(rotationMarkerStrip(0, 10.0, 45.0).empty());
    EXPECT_TRUE(rotationMarkerStrip(4, 10.0, 45.0).empty());
}

}  // namespace
}  // namespace pelorin
