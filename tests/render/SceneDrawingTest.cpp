// The tree drawn from poses worked out as arithmetic, against the way it was drawn before: every
// transform element handed to GL's own matrix calls as it was met.
#include "render/SceneDrawer.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>

#include "mesh/DrawnObjectBySTL.h"
#include "scene/Parts.h"
#include "scene/RotateTransform.h"
#include "scene/TranslateTransform.h"
#include "tests/support/GlTestContext.h"
#include "tests/support/MeshDrawing.h"
#include "tests/support/TempDir.h"

namespace pelorin {
namespace {

constexpr int kSize = 256;
constexpr double kHalf = 200.0;  // model units from the centre to the edge of the picture

void applyWithGlCalls(const TransformChain& chain) {
    for (const auto& element : chain.elements()) {
        if (const auto* r = dynamic_cast<const RotateTransform*>(element.get())) {
            if (!r->isEnabled()) continue;
            const double a = r->isInverted() ? -r->getAngle() : r->getAngle();
            if (r->getAxis() == RotateTransform::kAxisX) glRotated(a, 1.0, 0.0, 0.0);
            if (r->getAxis() == RotateTransform::kAxisY) glRotated(a, 0.0, 1.0, 0.0);
            if (r->getAxis() == RotateTransform::kAxisZ) glRotated(a, 0.0, 0.0, 1.0);
        } else if (const auto* t = dynamic_cast<const TranslateTransform*>(element.get())) {
            const Offset o = t->getOffset();
            glTranslated(o.x, o.y, o.z);
        }
    }
}

// The former traversal: input transforms, the mesh under its own chain inside a push and pop,
// then each path with a child inside a push and pop, one facet at a time.
void drawWithGlCalls(const Parts& node) {
    applyWithGlCalls(node.inputTransforms());
    if (const auto* mesh = dynamic_cast<const DrawnObjectBySTL*>(node.drawnObject())) {
        glPushMatrix();
        applyWithGlCalls(mesh->preTrans());
        testing::drawFacetsOneByOne(mesh->triangles().data(), mesh->triangles().size(),
                                    mesh->getColor());
        glPopMatrix();
    }
    for (const auto& entry : node.outputPaths()) {
        const OutputPath& path = *entry.second;
        if (!path.hasChild()) continue;
        glPushMatrix();
        applyWithGlCalls(path.transforms());
        drawWithGlCalls(*path.child());
        glPopMatrix();
    }
}

class SceneDrawingTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_TRUE(gl_.ok()) << gl_.error(); }

    static std::unique_ptr<RotateTransform> turn(int axis, double degrees, bool inverted = false,
                                                 bool enabled = true) {
        auto r = std::make_unique<RotateTransform>(axis, degrees, "turn");
        r->setInverted(inverted);
        r->setEnabled(enabled);
        return r;
    }

    static std::unique_ptr<TranslateTransform> move(double x, double y, double z) {
        return std::make_unique<TranslateTransform>(x, y, z, "move");
    }

    // A node with a sphere mesh of the given colour.
    Parts& node(const std::string& name, float r, float g, float b) {
        nodes_.push_back(std::make_unique<Parts>(name));
        auto mesh = std::make_unique<DrawnObjectBySTL>(r, g, b, name);
        const auto facets = testing::sphereMesh(12, 16, 70.0F);
        EXPECT_TRUE(mesh->loadStl(dir_.write(name + ".stl", testing::toBinaryStl(facets, name))));
        nodes_.back()->setDrawnObject(std::move(mesh));
        return *nodes_.back();
    }

    testing::GlTestContext gl_{kSize, kSize};
    testing::TempDir dir_;
    std::vector<std::unique_ptr<Parts>> nodes_;
};

TEST_F(SceneDrawingTest, TreeLooksAsItDidWhenDrawnWithGlCalls) {
    Parts& root = node("ROOT", 0.8F, 0.8F, 0.8F);
    root.inputTransforms().pushBack(turn(RotateTransform::kAxisZ, 37.3));
    root.drawnObject()->preTrans().pushBack(move(-120.0, 0.0, 0.0));
    root.drawnObject()->preTrans().pushBack(turn(RotateTransform::kAxisX, 63.0, true));
    Parts& arm = node("arm", 0.2F, 0.9F, 0.3F);
    arm.inputTransforms().pushBack(turn(RotateTransform::kAxisY, -21.7));
    arm.inputTransforms().pushBack(turn(RotateTransform::kAxisX, 80.0, false, false));
    Parts& hand = node("hand", 0.9F, 0.4F, 0.1F);
    hand.drawnObject()->preTrans().pushBack(turn(RotateTransform::kAxisZ, 12.5));
    OutputPath* toArm = root.addOutputPath("toArm");
    toArm->transforms().pushBack(move(60.0, 30.0, 10.0));
    toArm->transforms().pushBack(turn(RotateTransform::kAxisX, 145.0));
    toArm->setChild(&arm);
    for (const char* name : {"left", "right"}) {  // one node reached twice
        OutputPath* toHand = arm.addOutputPath(name);
        toHand->transforms().pushBack(move(name[0] == 'l' ? -90.0 : 90.0, 100.0, 0.0));
        toHand->setChild(&hand);
    }

    testing::setUpViewerGlState(kHalf);
    glRotated(-30.0, 1.0, 0.0, 0.0);  // a view from the side, as the viewer's camera gives
    glScaled(0.9, 0.9, 0.9);
    testing::clearFrame();
    glPushMatrix();
    drawWithGlCalls(root);
    glPopMatrix();
    const auto before = testing::readPixels(kSize, kSize);

    testing::clearFrame();
    SceneDrawer drawer;
    drawer.draw(root, nullptr);
    const auto after = testing::readPixels(kSize, kSize);
    const auto difference = testing::comparePixels(before, after);
    std::size_t lit = 0;
    for (std::size_t i = 0; i < after.size(); i += 4) lit += after[i] + after[i + 1] > 0 ? 1 : 0;
    EXPECT_GT(lit, static_cast<std::size_t>(kSize * kSize / 5));  // the tree is in the picture
    // Float matrices built one call at a time and double ones built at once round apart.
    EXPECT_LE(difference.pixels, 8U);
    EXPECT_LE(difference.largest, 1);
    EXPECT_EQ(testing::modelviewStackDepth(), 1);
}

TEST_F(SceneDrawingTest, ChainsDeeperThanGlsMatrixStackAreDrawnInPlace) {
    GLint stackLimit = 0;
    glGetIntegerv(GL_MAX_MODELVIEW_STACK_DEPTH, &stackLimit);
    const int depth = stackLimit + 8;
    ASSERT_LT(depth, kHalf);  // link i sits at x = i, inside the picture
    // Each link holds one small facet with a corner at its origin.
    Triangle facet;
    facet.normal[2] = 1.0F;
    facet.vertex[1][0] = 0.5F;
    facet.vertex[2][1] = 0.5F;
    const std::string file = dir_.write("corner.stl", testing::toBinaryStl({facet}, "corner"));
    for (int i = 0; i < depth; ++i) {
        nodes_.push_back(std::make_unique<Parts>("link"));
        auto mesh = std::make_unique<DrawnObjectBySTL>("corner");
        ASSERT_TRUE(mesh->loadStl(file));
        nodes_.back()->setDrawnObject(std::move(mesh));
        if (i == 0) continue;
        OutputPath* joint = nodes_[i - 1]->addOutputPath("next");
        joint->transforms().pushBack(move(1.0, 0.0, 0.0));
        joint->transforms().pushBack(turn(RotateTransform::kAxisZ, 0.0));
        joint->setChild(nodes_.back().get());
    }
    testing::setUpViewerGlState(kHalf);
    // GL reports the window position of every vertex it would draw instead of drawing it.
    std::vector<GLfloat> feedback(static_cast<std::size_t>(depth) * 16);
    glFeedbackBuffer(static_cast<GLsizei>(feedback.size()), GL_3D, feedback.data());
    glRenderMode(GL_FEEDBACK);
    SceneDrawer().draw(*nodes_.front(), nullptr);
    const GLint used = glRenderMode(GL_RENDER);
    std::vector<float> corners;  // the leftmost window x of each facet, in drawing order
    for (GLint at = 0; at + 2 < used;) {
        ASSERT_EQ(feedback[at], static_cast<GLfloat>(GL_POLYGON_TOKEN));
        const int vertices = static_cast<int>(feedback[at + 1]);
        float left = feedback[at + 2];
        for (int v = 1; v < vertices; ++v) left = std::min(left, feedback[at + 2 + 3 * v]);
        corners.push_back(left);
        at += 2 + 3 * vertices;
    }
    ASSERT_EQ(corners.size(), static_cast<std::size_t>(depth));
    const double pixelsPerUnit = kSize / (2.0 * kHalf);
    for (int i = 0; i < depth; ++i) {
        EXPECT_NEAR(corners[i] - corners[0], i * pixelsPerUnit, 1e-2) << "link " << i;
    }
    EXPECT_EQ(glGetError(), static_cast<GLenum>(GL_NO_ERROR));
}

}  // namespace
}  // namespace pelorin
