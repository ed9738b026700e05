// Transform elements and chains applied in a real GL context, their markers and their dumps.
#include <GL/gl.h>
#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <random>

#include "scene/RotateTransform.h"
#include "scene/TransformChain.h"
#include "scene/TranslateTransform.h"
#include "tests/support/GlFeedback.h"
#include "tests/support/GlTestContext.h"
#include "util/MessageStream.h"

namespace pelorin {
namespace {

using testing::captureFeedback;
using testing::currentModelview;
using testing::FeedbackPrimitive;
using testing::GlTestContext;
using testing::transformPoint;

// The GL matrix stack holds floats, so matrices read back are exact to float precision only.
constexpr double kExact = 1e-5;
constexpr double kChainTolerance = 1e-4;     // offsets of up to 50 units in a chain
constexpr double kFeedbackTolerance = 1e-3;  // feedback goes through float window coordinates
constexpr double kMarkerK = 3.14 / 180.0;

class GlTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl_.ok()) << gl_.error();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    static void expectPoint(const std::array<double, 3>& p, double x, double y, double z,
                            double tolerance = kExact) {
        EXPECT_NEAR(p[0], x, tolerance);
        EXPECT_NEAR(p[1], y, tolerance);
        EXPECT_NEAR(p[2], z, tolerance);
    }

    static void expectIdentity(double tolerance = kExact) {
        const auto m = currentModelview();
        for (int i = 0; i < 16; ++i) EXPECT_NEAR(m[i], i % 5 == 0 ? 1.0 : 0.0, tolerance) << i;
    }

    GlTestContext gl_;
};

std::string dumpOf(const TransformChain& chain, int indent) {
    StringSink sink;
    MessageStream out(sink, TextEncoding::Cp932);
    chain.dump(indent, out);
    return sink.text();
}

TEST_F(GlTest, ChainRotatesFirstThenTranslates) {
    TransformChain chain("input trans");
    chain.pushBack(std::make_unique<TranslateTransform>(0.0, 0.0, 100.0, "t"));
    chain.pushBack(std::make_unique<RotateTransform>(RotateTransform::kAxisZ, 90.0, "r"));
    chain.apply();
    expectPoint(transformPoint(currentModelview(), 1, 0, 0), 0.0, 1.0, 100.0);
}

TEST_F(GlTest, PushFrontMakesTheElementTheLeftmostFactor) {
    TransformChain chain("c");
    chain.pushBack(std::make_unique<RotateTransform>(RotateTransform::kAxisZ, 90.0, "r"));
    chain.pushFront(std::make_unique<TranslateTransform>(0.0, 0.0, 100.0, "t"));
    chain.apply();
    expectPoint(transformPoint(currentModelview(), 1, 0, 0), 0.0, 1.0, 100.0);
}

TEST_F(GlTest, RotationFlagsAndAxes) {
    RotateTransform inverted(RotateTransform::kAxisZ, 30.0, "inv");
    inverted.setInverted(true);
    inverted.apply();
    const double rad = 30.0 * M_PI / 180.0;
    expectPoint(transformPoint(currentModelview(), 1, 0, 0), std::cos(rad), -std::sin(rad), 0);

    glLoadIdentity();
    RotateTransform disabled(RotateTransform::kAxisX, 45.0, "off");
    disabled.setEnabled(false);
    disabled.apply();
    expectIdentity();

    for (int axis : {0, 4, -1}) {
        RotateTransform(axis, 45.0, "undefined").apply();
        expectIdentity();
    }
    RotateTransform y(RotateTransform::kAxisY, 90.0, "y");
    y.apply();
    expectPoint(transformPoint(currentModelview(), 1, 0, 0), 0, 0, -1);
}

TEST_F(GlTest, ValuesWrittenToCellsAreDegreesAndModelUnits) {
    RotateTransform rotation(RotateTransform::kAxisX, "joint");
    rotation.angleCell()->set(90.0);
    rotation.apply();
    expectPoint(transformPoint(currentModelview(), 0, 1, 0), 0, 0, 1);

    glLoadIdentity();
    TranslateTransform move("slide");
    move.yCell()->set(2.5);
    move.apply();
    expectPoint(transformPoint(currentModelview(), 0, 0, 0), 0, 2.5, 0);
}

// The inverse of an element: a rotation with the inverted flag toggled, a negated translation.
std::unique_ptr<TransformElement> inverseOf(const TransformElement& element) {
    if (const auto* r = dynamic_cast<const RotateTransform*>(&element)) {
        auto inverse = std::make_unique<RotateTransform>(r->getAxis(), r->getAngle(), "inverse");
        inverse->setInverted(!r->isInverted());
        return inverse;
    }
    const Offset o = dynamic_cast<const TranslateTransform&>(element).getOffset();
    return std::make_unique<TranslateTransform>(-o.x, -o.y, -o.z, "inverse");
}

TEST_F(GlTest, ApplyingAChainThenItsReverseGivesTheIdentity) {
    std::mt19937 random(7);
    std::uniform_real_distribution<double> angle(-720.0, 720.0);
    std::uniform_real_distribution<double> offset(-50.0, 50.0);
    for (int round = 0; round < 20; ++round) {
        glLoadIdentity();
        TransformChain chain("c");
        TransformChain reverse("r");
        for (int i = 0; i < 6; ++i) {
            if (random() % 2 == 0) {
                auto r = std::make_unique<RotateTransform>(1 + random() % 3, angle(random), "r");
                r->setInverted(random() % 2 == 0);
                chain.pushBack(std::move(r));
            } else {
                chain.pushBack(std::make_unique<TranslateTransform>(offset(random), offset(random),
                                                                    offset(random), "t"));
            }
            reverse.pushFront(inverseOf(*chain.elements().back()));
        }
        chain.apply();
        reverse.apply();
        expectIdentity(kChainTolerance);
    }
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

TEST(TransformDumpTest, EmptyChain) {
    TransformChain chain("input trans");
    EXPECT_EQ(dumpOf(chain, 0), "  Number of Elements = 0\n  not registered\n");
}

TEST(TransformDumpTest, ChainWithBothKindsOfElement) {
    TransformChain chain("c");
    auto rotation = std::make_unique<RotateTransform>(RotateTransform::kAxisY, 12.5, "elbow");
    rotation->setInverted(true);  // not shown
    chain.pushBack(std::move(rotation));
    auto move = std::make_unique<TranslateTransform>(1.0, -2.25, 1e-7, "offset");
    move->setEnabled(false);
    chain.pushBack(std::move(move));
    chain.pushBack(std::make_unique<RotateTransform>(7, 1.0 / 3.0, "odd"));
    EXPECT_EQ(dumpOf(chain, 1),
              "   Number of Elements = 3\n"
              "   N.o.1\n"
              "   RotateTransform\n"
              "     Name = elbow\n"
              "     Transform is Enable.\n"
              "     Rotation axis is Y.\n"
              "     Rotation angle is 12.5.\n"
              "   N.o.2\n"
              "   TranslateTransform\n"
              "     Name = offset\n"
              "     Transform is Disable\n"
              "     (x,y,z)=1,-2.25,1e-07\n"
              "   N.o.3\n"
              "   RotateTransform\n"
              "     Name = odd\n"
              "     Transform is Enable.\n"
              "     Rotation axis is undefined.\n"
              "     Rotation angle is 0.333333.\n");
}

TEST(TransformDumpTest, ElementDumpToConsoleIsTheDumpAtIndentZero) {
    StringSink console;
    Console::redirect(&console, nullptr, TextEncoding::Cp932);
    RotateTransform rotation(RotateTransform::kAxisX, -90.0,
                             "\x83"
                             "e");  // a CP932 name, raw
    rotation.dumpToConsole();
    Console::redirect(nullptr, nullptr);
    EXPECT_EQ(console.text(),
              "RotateTransform\n  Name = \x83"
              "e\n  Transform is Enable.\n"
              "  Rotation axis is X.\n  Rotation angle is -90.\n");
}

TEST(TransformElementTest, AxisLetters) {
    EXPECT_EQ(RotateTransform::axisLetter(1), 'X');
    EXPECT_EQ(RotateTransform::axisLetter(2), 'Y');
    EXPECT_EQ(RotateTransform::axisLetter(3), 'Z');
    EXPECT_EQ(RotateTransform::axisLetter(0), '@');
    EXPECT_EQ(RotateTransform::axisLetter(4), '@');
}

// The vertices of the one line strip that `draw` produces, from the feedback segments.
std::vector<std::array<double, 3>> stripVertices(const std::function<void()>& draw) {
    const auto capture = captureFeedback(draw);
    EXPECT_EQ(capture.error, "");
    std::vector<std::array<double, 3>> vertices;
    for (const auto& primitive : capture.primitives) {
        EXPECT_TRUE(primitive.kind == FeedbackPrimitive::Kind::Line ||
                    primitive.kind == FeedbackPrimitive::Kind::LineReset);
        if (vertices.empty()) vertices.push_back(primitive.vertices[0].position);
        vertices.push_back(primitive.vertices[1].position);
    }
    return vertices;
}

void expectArc(const std::vector<std::array<double, 3>>& vertices,
               const std::vector<double>& degrees, double radius) {
    ASSERT_EQ(vertices.size(), degrees.size());
    for (std::size_t i = 0; i < degrees.size(); ++i) {
        EXPECT_NEAR(vertices[i][0], radius * std::cos(degrees[i] * kMarkerK), kFeedbackTolerance);
        EXPECT_NEAR(vertices[i][1], radius * std::sin(degrees[i] * kMarkerK), kFeedbackTolerance);
        EXPECT_NEAR(vertices[i][2], 0.0, kFeedbackTolerance) << "vertex " << i;
    }
}

TEST_F(GlTest, RotationMarkerChordsAndStrips) {
    RotateTransform z(RotateTransform::kAxisZ, "z");
    const auto markerAt = [&](double angle) {
        z.setAngle(angle);
        return stripVertices([&] { z.drawMarker(); });
    };
    expectArc(markerAt(5.0), {0, 5}, 10.0);
    expectArc(markerAt(-9.5), {0, -9.5}, 10.0);
    expectArc(markerAt(10.0), {0, 10, 10}, 10.0);
    expectArc(markerAt(25.0), {0, 10, 10, 20, 20, 30, 25}, 10.0);
    // Negative angles are drawn towards the negative side.
    expectArc(markerAt(-25.0), {0, -10, -10, -20, -20, -30, -25}, 10.0);
    // Beyond a full turn only the last turn is drawn; it ends exactly as the full arc would.
    const auto big = markerAt(725.0);
    ASSERT_EQ(big.size(), 73U);
    expectArc({big.end() - 3, big.end()}, {720, 730, 725}, 10.0);
    z.setAngle(std::numeric_limits<double>::infinity());
    EXPECT_LE(stripVertices([&] { z.drawMarker(); }).size(), 1U);
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(GlTest, RotationMarkerAxesColoursAndRadius) {
    RotateTransform x(RotateTransform::kAxisX, 5.0, "x");
    const auto capture = captureFeedback([&] { x.drawMarker(2.0); });
    ASSERT_EQ(capture.primitives.size(), 1U);
    const auto& end = capture.primitives[0].vertices[1];
    EXPECT_NEAR(end.position[0], 0.0, kFeedbackTolerance);
    EXPECT_NEAR(end.position[1], 2.0 * std::cos(5 * kMarkerK), kFeedbackTolerance);
    EXPECT_NEAR(end.position[2], 2.0 * std::sin(5 * kMarkerK), kFeedbackTolerance);
    EXPECT_EQ(end.color, (std::array<float, 4>{1, 0, 0, 1}));
    // The radius given for one call does not stay.
    const auto after = stripVertices([&] { x.drawMarker(); });
    ASSERT_EQ(after.size(), 2U);
    EXPECT_NEAR(after[1][1], 10.0 * std::cos(5 * kMarkerK), kFeedbackTolerance);

    RotateTransform y(RotateTransform::kAxisY, 5.0, "y");
    const auto yCapture = captureFeedback([&] { y.drawMarker(); });
    ASSERT_EQ(yCapture.primitives.size(), 1U);
    EXPECT_EQ(yCapture.primitives[0].vertices[0].color, (std::array<float, 4>{0, 1, 0, 1}));
    EXPECT_NEAR(yCapture.primitives[0].vertices[1].position[2], 10 * std::sin(5 * kMarkerK),
                kFeedbackTolerance);

    RotateTransform undefined(0, 45.0, "none");
    EXPECT_TRUE(captureFeedback([&] { undefined.drawMarker(); }).primitives.empty());
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

TEST_F(GlTest, TranslationMarkerOnlyWhenVisible) {
    TranslateTransform move(3.0, 4.0, 5.0, "m");
    EXPECT_TRUE(captureFeedback([&] { move.drawMarker(); }).primitives.empty());
    move.setMarkerVisible(true);
    const auto capture = captureFeedback([&] { move.drawMarker(); });
    ASSERT_EQ(capture.primitives.size(), 4U);
    const std::array<std::array<double, 6>, 4> segments = {
        {{0, 0, 0, 3, 4, 5}, {0, 0, 0, 3, 0, 0}, {3, 0, 0, 3, 4, 0}, {3, 4, 0, 3, 4, 5}}};
    const std::array<std::array<float, 4>, 4> colours = {
        {{1, 1, 1, 1}, {1, 0, 0, 1}, {0, 1, 0, 1}, {0, 0, 1, 1}}};
    for (std::size_t s = 0; s < 4; ++s) {
        const auto& v = capture.primitives[s].vertices;
        ASSERT_EQ(v.size(), 2U);
        for (int k = 0; k < 3; ++k) {
            EXPECT_NEAR(v[0].position[k], segments[s][k], kFeedbackTolerance) << s;
            EXPECT_NEAR(v[1].position[k], segments[s][k + 3], kFeedbackTolerance) << s;
        }
        EXPECT_EQ(v[0].color, colours[s]) << s;
    }
    EXPECT_TRUE(glIsEnabled(GL_LIGHTING));
}

}  // namespace
}  // namespace pelorin
