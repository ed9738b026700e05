// The Parts tree: where its bodies and meshes stand (poses, kept poses, the posed box) and the
// node and path dumps.
#include "scene/Parts.h"

#include <gtest/gtest.h>

#include <cmath>
#include <fstream>
#include <iterator>
#include <memory>
#include <vector>

#include "scene/LiveValues.h"
#include "scene/PartsPose.h"
#include "scene/PosedBounds.h"
#include "scene/PosedScene.h"
#include "scene/RotateTransform.h"
#include "scene/TranslateTransform.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

constexpr double kTolerance = 1e-9;
// A drawn object with a given extent and nothing to draw.
class BoxObject : public DrawnObject {
  public:
    explicit BoxObject(std::string name, Box3 box = {}) : DrawnObject(std::move(name)), box_(box) {}
    Box3 localBounds() const override { return box_; }
    void dump(int indent, MessageStream& out) const override {
        out.raw(repeatChar(indent, ' ')).raw("RECORDING ").raw(getName()).endl();
    }
    void dumpToConsole() const override {}

  private:
    Box3 box_;
};

std::unique_ptr<TranslateTransform> move(double x, double y, double z) {
    return std::make_unique<TranslateTransform>(x, y, z, "move");
}

Box3 box(const Vec3& min, const Vec3& max) {
    Box3 b;
    b.add(min);
    b.add(max);
    return b;
}

void expectBox(const Box3& b, const Vec3& min, const Vec3& max) {
    ASSERT_FALSE(b.empty());
    EXPECT_NEAR(b.min.x, min.x, kTolerance);
    EXPECT_NEAR(b.min.y, min.y, kTolerance);
    EXPECT_NEAR(b.min.z, min.z, kTolerance);
    EXPECT_NEAR(b.max.x, max.x, kTolerance);
    EXPECT_NEAR(b.max.y, max.y, kTolerance);
    EXPECT_NEAR(b.max.z, max.z, kTolerance);
}

class PartsPoseTest : public ::testing::Test {
  protected:
    Parts& node(const std::string& name, double inputX, Box3 extent = {}) {
        nodes_.push_back(std::make_unique<Parts>(name));
        Parts& p = *nodes_.back();
        p.inputTransforms().pushBack(move(inputX, 0, 0));
        p.setDrawnObject(std::make_unique<BoxObject>(name, extent));
        return p;
    }

    static void link(Parts& parent, const std::string& path, double y, Parts* child) {
        OutputPath* p = parent.addOutputPath(path);
        p->transforms().pushBack(move(0, y, 0));
        if (child != nullptr) p->setChild(child);
    }

    static void expectVisit(const std::vector<PartsPose>& poses, std::size_t i,
                            const std::string& name, double x, double y) {
        ASSERT_LT(i, poses.size());
        ASSERT_NE(poses[i].object, nullptr);
        EXPECT_EQ(poses[i].object->getName(), name);
        EXPECT_EQ(poses[i].parts->getName(), name);
        const Vec3 origin = transformPoint(poses[i].objectPose, {});
        EXPECT_NEAR(origin.x, x, kTolerance) << name;
        EXPECT_NEAR(origin.y, y, kTolerance) << name;
    }

    std::vector<std::unique_ptr<Parts>> nodes_;
};

TEST_F(PartsPoseTest, PathsAreFollowedInByteOrderUnderTheirTransforms) {
    Parts& root = node("ROOT", 1);
    Parts& lower = node("lower", 10);
    Parts& longer = node("longer", 100);
    Parts& upper = node("upper", 1000);
    Parts& grandchild = node("grandchild", 10000);
    link(root, "a", 1, &lower);
    link(root, "ab", 2, &longer);
    link(root, "B", 3, &upper);  // uppercase sorts first
    link(root, "c", 500, nullptr);
    link(lower, "x", 4, &grandchild);

    std::vector<PartsPose> poses;
    composePartsPoses(root, {}, poses);
    ASSERT_EQ(poses.size(), 5U);
    expectVisit(poses, 0, "ROOT", 1, 0);
    expectVisit(poses, 1, "upper", 1001, 3);
    expectVisit(poses, 2, "lower", 11, 1);
    expectVisit(poses, 3, "grandchild", 10011, 5);
    expectVisit(poses, 4, "longer", 101, 2);

    Parts bare("bare");  // no paths, no object: one visit with no object
    composePartsPoses(bare, {}, poses);
    ASSERT_EQ(poses.size(), 1U);
    EXPECT_EQ(poses[0].object, nullptr);
}

TEST_F(PartsPoseTest, AVeryDeepChainOfBodiesIsWalkedWithoutRecursion) {
    constexpr int kDepth = 50000;
    Parts* parent = &node("ROOT", 1);
    for (int i = 1; i < kDepth; ++i) {
        Parts& next = node("n", 1);
        link(*parent, "p", 0, &next);
        parent = &next;
    }
    std::vector<PartsPose> poses;
    composePartsPoses(*nodes_.front(), {}, poses);
    ASSERT_EQ(poses.size(), static_cast<std::size_t>(kDepth));
    EXPECT_NEAR(transformPoint(poses.back().body, {}).x, kDepth, kTolerance);
}

TEST_F(PartsPoseTest, KeptPosesFollowTheRootItsValueStoreAndEachReceivedSet) {
    Parts& root = node("ROOT", 0);
    auto joint = std::make_unique<TranslateTransform>(5.0, 0.0, 0.0, "joint");
    TransformValue* x = joint->xCell();
    x->setSlot(0);
    root.inputTransforms().pushBack(std::move(joint));
    const std::vector<TransformValue*> table = {x};
    LiveValues live({1.0});
    LiveValues other({2.0});
    PosedScene posed;
    auto xOf = [&](const Parts& parts, const LiveValues* values) {
        return posed.update(parts, values).front().body.at(0, 3);
    };
    EXPECT_NEAR(xOf(root, nullptr), 5.0, kTolerance) << "no store: the file's value";
    EXPECT_NEAR(xOf(root, &live), 1.0, kTolerance);
    const double three = 3.0;
    EXPECT_TRUE(live.receive(table, &three, 1));
    EXPECT_FALSE(live.receive(table, &three, 0));
    EXPECT_NEAR(xOf(root, &live), 3.0, kTolerance);
    EXPECT_NEAR(xOf(root, &other), 2.0, kTolerance);
    EXPECT_NEAR(xOf(node("other", 9), &other), 9.0, kTolerance) << "a node it does not drive";
}

TEST_F(PartsPoseTest, PosedBoundsHoldEveryPlacedMeshBox) {
    Parts& root = node("ROOT", 0);
    EXPECT_TRUE(posedBounds(root, {}).empty());  // an object with nothing to draw adds nothing
    Parts& arm = node("arm", 0, box({0, 0, 0}, {10, 1, 2}));
    auto elbow = std::make_unique<RotateTransform>(RotateTransform::kAxisZ, 90.0, "elbow");
    elbow->angleCell()->setSlot(0);
    arm.inputTransforms().pushBack(std::move(elbow));
    link(root, "toArm", 100, &arm);
    // Turned by 90 degrees about Z: X of the box runs along Y, Y along -X.
    expectBox(posedBounds(root, {}), {-1, 100, 0}, {0, 110, 2});

    Parts& hand = node("hand", 0, box({-1, -1, -1}, {1, 1, 1}));
    link(arm, "toHand", 0, &hand);
    // A bad value from a peer: that part of the model drops out.
    EXPECT_TRUE(posedBounds(root, {std::nan("")}).empty());
    expectBox(posedBounds(root, {0.0}), {-1, 99, -1}, {10, 101, 2});
}

std::string dumpOf(const Parts& parts, int indent) {
    StringSink sink;
    MessageStream out(sink, TextEncoding::Cp932);
    parts.dump(indent, out);
    return sink.text();
}

// The dumps are compared with golden files; the log is CP932, as the parser log is.
std::string golden(const std::string& name) {
    std::ifstream in(PELORIN_SOURCE_DIR "/tests/scene/golden/" + name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
}

TEST(PartsDumpTest, EmptyNodeStatesBothEmptyCasesInCp932) {
    Parts leaf("leaf");
    EXPECT_EQ(dumpOf(leaf, 3), golden("leaf-dump.cp932.txt"));
}

TEST(PartsDumpTest, ElementsPathsInOrderWithChildNamesAndDrawnObject) {
    Parts arm("arm");
    auto rotation = std::make_unique<RotateTransform>(RotateTransform::kAxisY, 12.5, "elbow");
    rotation->setInverted(true);  // not shown
    arm.inputTransforms().pushBack(std::move(rotation));
    auto offset = std::make_unique<TranslateTransform>(1.0, -2.25, 1e-7, "offset");
    offset->setEnabled(false);
    arm.inputTransforms().pushBack(std::move(offset));
    arm.inputTransforms().pushBack(std::make_unique<RotateTransform>(7, 1.0 / 3.0, "odd"));
    OutputPath* second = arm.addOutputPath("b");
    second->setChildName("hand");
    arm.addOutputPath("A");
    bool registered = true;
    OutputPath* duplicate = arm.addOutputPath("b", &registered);
    EXPECT_FALSE(registered);
    ASSERT_NE(duplicate, nullptr);
    duplicate->setChildName("never shown");
    EXPECT_EQ(arm.findOutputPath("b"), second);
    arm.setDrawnObject(std::make_unique<BoxObject>("mesh"));
    EXPECT_EQ(dumpOf(arm, 0), golden("arm-dump.txt"));
}

}  // namespace
}  // namespace pelorin
