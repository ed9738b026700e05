// The Parts tree: draw order, matrix push and pop, and the node and path dumps.
#include "scene/Parts.h"

#include <GL/gl.h>
#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "scene/RotateTransform.h"
#include "scene/TranslateTransform.h"
#include "tests/support/GlTestContext.h"
#include "util/MessageStream.h"
#include "util/TextHelpers.h"

namespace pelorin {
namespace {

using testing::currentModelview;
using testing::GlTestContext;
using testing::modelviewStackDepth;
using testing::transformPoint;

// Matrices on the GL stack are floats; offsets here reach 10^4 units.
constexpr double kTolerance = 1e-3;
// "子は登録されていません" and "描画オブジェクトは登録されていません" in CP932.
const std::string kNoChildrenCp932 =
    "\x8eq\x82\xcd\x93o\x98^\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";
const std::string kNoDrawnObjectCp932 =
    "\x95`\x89\xe6\x83I\x83u\x83W\x83"
    "F\x83N\x83g\x82\xcd\x93o\x98^\x82\xb3\x82\xea\x82\xc4\x82\xa2\x82\xdc\x82\xb9\x82\xf1";

struct DrawRecord {
    std::string name;
    std::array<double, 3> origin;  // where the object's (0, 0, 0) lands
    int stackDepth;
};

// A drawn object that notes where the scene asked it to draw.
class RecordingObject : public DrawnObject {
  public:
    RecordingObject(std::string name, std::vector<DrawRecord>& log)
        : DrawnObject(std::move(name)), log_(&log) {}
    void draw() const override {
        log_->push_back(
            {getName(), transformPoint(currentModelview(), 0, 0, 0), modelviewStackDepth()});
    }
    void dump(int indent, MessageStream& out) const override {
        out.raw(repeatChar(indent, ' ')).raw("RECORDING ").raw(getName()).endl();
    }
    void dumpToConsole() const override {}

  private:
    std::vector<DrawRecord>* log_;
};

std::unique_ptr<TranslateTransform> move(double x, double y, double z) {
    return std::make_unique<TranslateTransform>(x, y, z, "move");
}

class PartsDrawTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(gl_.ok()) << gl_.error();
        glMatrixMode(GL_MODELVIEW);
        glLoadIdentity();
    }

    Parts& node(const std::string& name, double inputX) {
        nodes_.push_back(std::make_unique<Parts>(name));
        Parts& p = *nodes_.back();
        p.inputTransforms().pushBack(move(inputX, 0, 0));
        p.setDrawnObject(std::make_unique<RecordingObject>(name, log_));
        return p;
    }

    void link(Parts& parent, const std::string& path, double y, Parts* child) {
        OutputPath* p = parent.addOutputPath(path);
        p->transforms().pushBack(move(0, y, 0));
        if (child != nullptr) p->setChild(child);
    }

    void expectDraw(std::size_t i, const std::string& name, double x, double y, int depth) {
        ASSERT_LT(i, log_.size());
        EXPECT_EQ(log_[i].name, name);
        EXPECT_NEAR(log_[i].origin[0], x, kTolerance) << name;
        EXPECT_NEAR(log_[i].origin[1], y, kTolerance) << name;
        EXPECT_EQ(log_[i].stackDepth, depth) << name;
    }

    GlTestContext gl_;
    std::vector<std::unique_ptr<Parts>> nodes_;
    std::vector<DrawRecord> log_;
};

TEST_F(PartsDrawTest, PathsAreDrawnInByteOrderUnderTheirTransforms) {
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

    root.draw();
    ASSERT_EQ(log_.size(), 5U);
    expectDraw(0, "ROOT", 1, 0, 1);
    expectDraw(1, "upper", 1001, 3, 2);
    expectDraw(2, "lower", 11, 1, 2);
    expectDraw(3, "grandchild", 10011, 5, 3);
    expectDraw(4, "longer", 101, 2, 2);
    // The root pushes nothing: its input transforms stay for the caller to remove.
    EXPECT_EQ(modelviewStackDepth(), 1);
    const auto origin = transformPoint(currentModelview(), 0, 0, 0);
    EXPECT_NEAR(origin[0], 1, kTolerance);
    EXPECT_NEAR(origin[1], 0, kTolerance);
}

TEST_F(PartsDrawTest, PathWithoutChildAppliesNothingAndNodeReachedTwiceIsDrawnTwice) {
    Parts& root = node("ROOT", 0);
    Parts& shared = node("shared", 0);
    link(root, "left", -5, &shared);
    link(root, "middle", 70, nullptr);
    link(root, "right", 5, &shared);
    root.draw();
    ASSERT_EQ(log_.size(), 3U);
    expectDraw(1, "shared", 0, -5, 2);
    expectDraw(2, "shared", 0, 5, 2);
}

TEST_F(PartsDrawTest, NodeWithoutPathsOrObjectAppliesOnlyItsInput) {
    Parts bare("bare");
    bare.inputTransforms().pushBack(
        std::make_unique<RotateTransform>(RotateTransform::kAxisZ, 90.0, "r"));
    glPushMatrix();
    bare.draw();
    const auto p = transformPoint(currentModelview(), 1, 0, 0);
    EXPECT_NEAR(p[1], 1.0, kTolerance);
    glPopMatrix();
    EXPECT_NEAR(currentModelview()[0], 1.0, kTolerance);
}

std::string dumpOf(const Parts& parts, int indent) {
    StringSink sink;
    MessageStream out(sink, TextEncoding::Cp932);
    parts.dump(indent, out);
    return sink.text();
}

TEST(PartsDumpTest, EmptyNodeStatesBothEmptyCasesInCp932) {
    Parts leaf("leaf");
    EXPECT_EQ(dumpOf(leaf, 3),
              "   Dump Parts\n"
              "     Name = leaf\n"
              "     Dump Input transform\n"
              "       Number of Elements = 0\n"
              "       not registered\n"
              "     Dump Output path\n"
              "       Number of Output path = 0\n"
              "       " +
                  kNoChildrenCp932 +
                  "\n"
                  "     Dump DrawnObject\n"
                  "       " +
                  kNoDrawnObjectCp932 +
                  "\n"
                  "Dump complate\n");
}

TEST(PartsDumpTest, PathsInOrderWithChildNamesAndDrawnObject) {
    std::vector<DrawRecord> unused;
    Parts arm("arm");
    arm.inputTransforms().pushBack(move(0, 0, 1));
    OutputPath* second = arm.addOutputPath("b");
    second->setChildName("hand");
    arm.addOutputPath("A");
    bool registered = true;
    OutputPath* duplicate = arm.addOutputPath("b", &registered);
    EXPECT_FALSE(registered);
    ASSERT_NE(duplicate, nullptr);
    duplicate->setChildName("never shown");
    EXPECT_EQ(arm.findOutputPath("b"), second);
    arm.setDrawnObject(std::make_unique<RecordingObject>("mesh", unused));
    EXPECT_EQ(dumpOf(arm, 0),
              "Dump Parts\n"
              "  Name = arm\n"
              "  Dump Input transform\n"
              "    Number of Elements = 1\n"
              "    N.o.1\n"
              "    TranslateTransform\n"
              "      Name = move\n"
              "      Transform is Enable\n"
              "      (x,y,z)=0,0,1\n"
              "  Dump Output path\n"
              "    Number of Output path = 2\n"
              "    N.o.1\n"
              "    Map Key = A\n"
              "      Path name = A\n"
              "      Child Parts object = NONE\n"
              "      Dump output transform\n"
              "          Number of Elements = 0\n"
              "          not registered\n"
              "    N.o.2\n"
              "    Map Key = b\n"
              "      Path name = b\n"
              "      Child Parts object = hand\n"
              "      Dump output transform\n"
              "          Number of Elements = 0\n"
              "          not registered\n"
              "  Dump DrawnObject\n"
              "    RECORDING mesh\n"
              "Dump complate\n");
}

TEST(PartsDumpTest, ConsoleDumpMatchesTheDumpInTheConsoleEncoding) {
    Parts leaf("leaf");
    for (TextEncoding encoding : {TextEncoding::Cp932, TextEncoding::Utf8}) {
        StringSink console;
        Console::redirect(&console, nullptr, encoding);
        leaf.dumpToConsole();
        Console::redirect(nullptr, nullptr);
        StringSink direct;
        MessageStream out(direct, encoding);
        leaf.dump(0, out);
        EXPECT_EQ(console.text(), direct.text());
    }
    StringSink utf8;
    MessageStream out(utf8, TextEncoding::Utf8);
    leaf.dump(0, out);
    EXPECT_NE(utf8.text().find("    子は登録されていません\n"), std::string::npos);
}

}  // namespace
}  // namespace pelorin
