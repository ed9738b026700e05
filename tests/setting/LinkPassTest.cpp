// The passes after the read: child links, cycles, and the DATAPORT forms of the value table.
#include "ParserHarness.h"
#include "scene/RotateTransform.h"
#include "scene/TranslateTransform.h"

namespace pelorin::test {
namespace {

std::string partsWithChild(const std::string& name, const std::string& child) {
    return "BEGIN PARTS = " + name + "\nBEGIN CHILD = to" + child + "\nNEXT = " + child +
           "\nEND CHILD\nEND PARTS\n";
}

// A child named but never registered (its block unclosed) is a miss; a cycle is refused with
// the Parts on it.
TEST(LinkPassTest, MissingChildrenAndCyclesFailTheLink) {
    struct Case {
        std::string text;
        const char* logLine;
    };
    const std::string leaf = "BEGIN PARTS = LEAF\nEND PARTS\n";
    for (const Case& c : std::vector<Case>{
             {partsWithChild("ROOT", "ARM") + "BEGIN PARTS = ARM\n", "\t子の名前\tARM\tMISS!!"},
             {partsWithChild("ROOT", "ROOT"), "出力パスが循環しています\tROOT -> ROOT"},
             {partsWithChild("ROOT", "A") + partsWithChild("A", "B") + partsWithChild("B", "A"),
              "出力パスが循環しています\tA -> B -> A"},
             // Not below ROOT, but drawing would still never end if anything reached it.
             {"BEGIN PARTS = ROOT\nEND PARTS\n" + partsWithChild("C", "D") +
                  partsWithChild("D", "C"),
              "出力パスが循環しています\tC -> D -> C"},
         }) {
        expectRefused(c.text, {c.logLine}, "パーツのリンクに失敗\n");
    }
    // A Parts reached along two paths is shared, not a cycle.
    ParserHarness shared;
    EXPECT_NE(shared.parse("BEGIN PARTS = ROOT\nBEGIN CHILD = a\nNEXT = LEAF\nEND CHILD\n"
                           "BEGIN CHILD = b\nNEXT = LEAF\nEND CHILD\nEND PARTS\n" +
                           leaf),
              nullptr);
}

// `levels` Parts below ROOT, each Parts with two paths to the next: 2^(levels+1) - 1 bodies.
std::string sharedInRow(int levels) {
    std::string text;
    for (int i = 0; i <= levels; ++i) {
        text += "BEGIN PARTS = " + (i == 0 ? std::string("ROOT") : "P" + std::to_string(i)) + "\n";
        for (const char* path : {"a", "b"}) {
            if (i < levels) {
                text += "BEGIN CHILD = " + std::string(path) + "\nNEXT = P" +
                        std::to_string(i + 1) + "\nEND CHILD\n";
            }
        }
        text += "END PARTS\n";
    }
    return text;
}

// Shared Parts in a row multiply the bodies drawn: a file of a few kilobytes that would make
// every frame pose billions of bodies is refused, as is anything over 200,000 bodies.
TEST(LinkPassTest, TreesThatDrawOver200000BodiesAreRefused) {
    for (int levels : {40, 17}) {  // 17: 262,143 bodies
        expectRefused(sharedInRow(levels), {"ROOTから描く部品の数が多すぎます\t上限=200000"},
                      "パーツのリンクに失敗\n");
    }
    ParserHarness under;
    EXPECT_NE(under.parse(sharedInRow(16)), nullptr);  // 131,071 bodies
    // A chain 100,000 Parts deep is counted without recursion, and links.
    std::string chain;
    for (int i = 0; i < 100000; ++i) {
        chain +=
            partsWithChild(i == 0 ? "ROOT" : "C" + std::to_string(i), "C" + std::to_string(i + 1));
    }
    ParserHarness deep;
    EXPECT_NE(deep.parse(chain + "BEGIN PARTS = C100000\nEND PARTS\n"), nullptr);
}

const char* const kArm =
    "BEGIN PARTS = ROOT\n"
    "TRANS = ROTATION(YAW,Z,0)\n"
    "TRANS = TRANSLATION(LIFT,0,0,0)\n"
    "TRANS = TRANSLATION(J1,0,0,0)\n"
    "BEGIN CHILD = toArm\n"
    "TRANS = TRANSLATION(SLIDE,0,0,0)\n"
    "TRANS = ROTATION(J2,Y,0)\n"
    "NEXT = ARM\n"
    "END CHILD\n"
    "END PARTS\n"
    "BEGIN PARTS = ARM\n"
    "END PARTS\n";

// Parses kArm with the given DATAPORT lines.
std::unique_ptr<ParserHarness> linkArm(const std::string& lines) {
    auto h = std::make_unique<ParserHarness>();
    h->parse(std::string(kArm) + "BEGIN DATAPORT\n" + lines + "END DATAPORT\n");
    return h;
}

TEST(LinkPassTest, EachDataPortFormBindsItsCellInLineOrder) {
    auto h = linkArm(
        "ROOT.YAW\n"
        "ROOT.LIFT.Z\n"
        "ROOT.J1.Xoffset\n"
        "ROOT.toArm.J2\n"
        "ROOT.YAW.Z.extra.more\n"
        "ROOT.toArm.SLIDE.Y\n"
        "ROOT.YAW\n");
    ASSERT_NE(h->result, nullptr) << h->logText();
    Parts* root = h->parts("ROOT");
    auto* yaw = dynamic_cast<RotateTransform*>(root->inputTransforms().find("YAW"));
    auto* lift = dynamic_cast<TranslateTransform*>(root->inputTransforms().find("LIFT"));
    auto* j1 = dynamic_cast<TranslateTransform*>(root->inputTransforms().find("J1"));
    const TransformChain& path = root->findOutputPath("toArm")->transforms();
    auto* j2 = dynamic_cast<RotateTransform*>(path.find("J2"));
    auto* slide = dynamic_cast<TranslateTransform*>(path.find("SLIDE"));
    ASSERT_TRUE(yaw && lift && j1 && j2 && slide);
    // Five tokens bind nothing and shift no index; a repeated line gets an index of its own.
    EXPECT_EQ(h->parser->valueTable(),
              (std::vector<TransformValue*>{yaw->angleCell(), lift->zCell(), j1->xCell(),
                                            j2->angleCell(), slide->yCell(), yaw->angleCell()}));
    EXPECT_TRUE(h->logHas("平行移動行列 SLIDEを探します"));
    EXPECT_EQ(h->parser->valueBindings().at(1).source, "ROOT.LIFT.Z");
    EXPECT_EQ(h->parser->valueBindings().at(1).kind, ValueKind::Z);
}

TEST(LinkPassTest, DataPortLookupFailuresSayWhichName) {
    struct Case {
        const char* line;
        std::vector<std::string> logTail;
    };
    for (const Case& c : std::vector<Case>{
             {"ROOT\n", {"target =ROOT", "区切りの数が足りません"}},
             {"NOPE.YAW\n", {"パーツ名NOPEを探します", "パーツ名[NOPE]が見つかりません"}},
             {"ROOT.YAW \n", {"見つかりました", "識別名[YAW ]が見つかりません"}},
             {"ROOT.toX.J2\n", {"見つかりました", "toXが見つかりません"}},
             {"ROOT.toArm.J9\n", {"見つかりました", "J9が見つかりません"}},
             {"ROOT.toArm.J9.X\n", {"平行移動行列 J9を探します", "J9が見つかりません"}},
             {"ROOT.LIFT\n", {"見つかりました", "ダウンキャストに失敗"}},
             {"ROOT.YAW.X\n", {"見つかりました", "ダウンキャストに失敗"}},
             {"ROOT.toArm.J2.Z\n", {"平行移動行列 J2を探します", "ダウンキャストに失敗"}},
             // A last token that is no axis letter fails without a message of its own.
             {"ROOT.toArm.SLIDE.W\n",
              {"target =ROOT.toArm.SLIDE.W", "パーツ名ROOTを探します", "見つかりました",
               "平行移動行列 SLIDEを探します"}},
         }) {
        auto h = linkArm(c.line);
        EXPECT_EQ(h->result, nullptr) << c.line;
        EXPECT_EQ(h->logTail(c.logTail.size()), c.logTail) << c.line;
        EXPECT_EQ(h->outSink.text(), "データポートのリンクに失敗\n") << c.line;
    }
}

}  // namespace
}  // namespace pelorin::test
