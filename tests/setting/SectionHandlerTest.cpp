// The keyword handlers: mode tests with their messages, value forms, TRANS forms, drawn objects
// and the warnings for duplicate names.
#include "ParserHarness.h"
#include "mesh/DrawnObjectBySTL.h"
#include "scene/RotateTransform.h"
#include "scene/TranslateTransform.h"
#include "util/TextHelpers.h"

namespace pelorin::test {
namespace {

struct SequenceCase {
    const char* text;
    std::vector<std::string> logTail;  // the last log lines
    std::string console = "";          // when not the last log line
};

TEST(SectionHandlerTest, KeywordsOutsideTheirBlockAreSequenceErrors) {
    const std::vector<SequenceCase> cases = {
        {"END PARTS\n", {"Line:1\tOnEND_PARTS\tシーケンスエラー発生", "Line:1にて構文エラー"}},
        {"BEGIN PARTS = A\nCOLOR = 1,1,1\n",
         {"Line:2\tOnColor\tシーケンスエラー", "Line:2にて構文エラー"}},
        {"BEGIN DRAWN STL = a\n",
         {"Line:1\tOnBEGIN_DRAWN_STL\tシーケンスエラー", "Line:1にて構文エラー"}},
        {"BEGIN PARTS = A\nEND DRAWN STL\n",
         {"Line:2\tOnEND_DRAWN_STL\tシーケンスエラー", "Line:2にて構文エラー"}},
        {"BEGIN PARTS = A\nBEGIN CHILD = p\nPATH = x.stl\n",
         {"Line:3\tOnPATH\tシーケンスエラー", "Line:3にて構文エラー"}},
        {"BEGIN PARTS = A\nNEXT = B\n",
         {"Line:2\tNEXT  = B\tシーケンスエラー", "Line:2にて構文エラー"}},
        {"END DATAPORT\n", {"Line:1\tOnEnd_DATAPORT\tシーケンスエラー", "Line:1にて構文エラー"}},
        // END CHILD writes its message without a line end.
        {"END CHILD\n",
         {"Line:1\tOnEND_CHILD\tシーケンスエラーLine:1にて構文エラー"},
         "Line:1にて構文エラー\n"},
        {"BEGIN CHILD = p\n",
         {"Line:1\tOnBEGIN_CHILD\tLine:1にて構文エラー"},
         "OnBEGIN_CHILDにてシーケンスエラー\nLine:1にて構文エラー\n"},
        {"END SWITCH\n",
         {"OnEND_SWITCHにてシーケンスエラー", "Line:1にて構文エラー"},
         "Line:1\tOnEND_SWTICH\nLine:1にて構文エラー\n"},
        // BEGIN DATAPORT is allowed at the top level only, and fails without a message.
        {"BEGIN PARTS = A\nBEGIN DATAPORT\n",
         {"Line:2\tOnBEGIN_DATAPORT\tLine:2にて構文エラー"},
         "Line:2にて構文エラー\n"},
    };
    for (const SequenceCase& c : cases) {
        expectRefused(c.text, c.logTail,
                      (c.console.empty() ? c.logTail.back() + "\n" : c.console).c_str());
    }
}

TEST(SectionHandlerTest, MissingValuesFailWithoutAMessageAndValuesKeepTrailingBlanks) {
    for (const char* text : {"BEGIN PARTS\n", "BEGIN PARTS =\n", "BEGIN PARTS = \t \n"}) {
        ParserHarness h;
        EXPECT_EQ(h.parse(text), nullptr) << text;
        EXPECT_EQ(h.body(),
                  std::vector<std::string>{"Line:1\tOnBEGIN_PARTS\tLine:1にて構文エラー"});
    }
    expectRefused("BEGIN PARTS = A\nBEGIN CHILD = p\nNEXT B\n",
                  {"Line:3\tNEXT  B\tLine:3にて構文エラー"});

    // A value is the rest after the first equals sign, trailing blanks included.
    ParserHarness h;
    h.parse("BEGIN PARTS xyz = A=B \nEND PARTS\n");
    EXPECT_NE(h.parts("A=B "), nullptr);
    // "ROOT " is not "ROOT", so the link does not find the root.
    expectRefused("BEGIN PARTS = ROOT \nEND PARTS\n", {"ROOTが見つかりません"});
}

// Parses `trans` as the only TRANS line (line 2) of ROOT's input chain.
struct TransOutcome {
    ParserHarness h;
    Parts* root = nullptr;
    TransformElement* element() const {
        const auto& elements = h.parser->partsByName().at("ROOT")->inputTransforms().elements();
        return elements.empty() ? nullptr : elements.front().get();
    }
};

std::unique_ptr<TransOutcome> parseTrans(const std::string& trans) {
    auto outcome = std::make_unique<TransOutcome>();
    outcome->root = outcome->h.parse("BEGIN PARTS = ROOT\n" + trans + "\nEND PARTS\n");
    return outcome;
}

TEST(SectionHandlerTest, TranslationForms) {
    struct Case {
        const char* line;
        const char* name;
        std::vector<double> offset;
    };
    for (const Case& c : std::vector<Case>{
             {"TRANS = TRANSLATION(0,0,100)", "TRANS_Line2", {0, 0, 100}},
             {"TRANS = TRANSLATION(OFS,10,0,0)", "OFS", {10, 0, 0}},
             {"TRANS = TRANSLATION(1,,2,3)", "TRANS_Line2", {1, 2, 3}},
             {"TRANS = TRANSLATION(my arm,0,0,1)", "my", {0, 0, 1}},
             {"TRANS = TRANSLATION(a,b,c)", "TRANS_Line2", {0, 0, 0}},
             {"TRANS=TRANSLATION( -1.5e1 ,+2,nan)", "TRANS_Line2", {-15, 2, 0}},
             // Numbers read as "%lf" reads them (its own tests pin the details), hex floats too,
             // and what is not finite becomes 0.
             {"TRANS = TRANSLATION(T,0x10,-0x1p-2,0X.8)", "T", {16, -0.25, 0.5}},
             {"TRANS = TRANSLATION(T,inf,-nan,1e999)", "T", {0, 0, 0}},
         }) {
        auto o = parseTrans(c.line);
        ASSERT_NE(o->root, nullptr) << c.line;
        auto* t = dynamic_cast<TranslateTransform*>(o->element());
        ASSERT_NE(t, nullptr) << c.line;
        EXPECT_EQ(t->getName(), c.name);
        const Offset got = t->getOffset();
        EXPECT_EQ((std::vector<double>{got.x, got.y, got.z}), c.offset) << c.line;
    }
}

TEST(SectionHandlerTest, RotationForms) {
    struct Case {
        const char* line;
        const char* name;
        int axis;
        double angle;
        bool inverted;
    };
    for (const Case& c : std::vector<Case>{
             {"TRANS = ROTATION(Z,90)", "ROT_Line2", RotateTransform::kAxisZ, 90, false},
             {"TRANS = ROTATION(J2,X,-30)", "J2", RotateTransform::kAxisX, -30, false},
             {"TRANS = ROTATION(J,Zaxis,30)", "J", RotateTransform::kAxisZ, 30, false},
             {"TRANS = ROTATION(J,-Y,45)", "J", RotateTransform::kAxisY, 45, true},
         }) {
        auto o = parseTrans(c.line);
        ASSERT_NE(o->root, nullptr) << c.line;
        auto* r = dynamic_cast<RotateTransform*>(o->element());
        ASSERT_NE(r, nullptr) << c.line;
        EXPECT_EQ(r->getName(), c.name);
        EXPECT_EQ(r->getAxis(), c.axis);
        EXPECT_DOUBLE_EQ(r->getAngle(), c.angle);
        EXPECT_EQ(r->isInverted(), c.inverted) << c.line;
    }
    auto inverted = parseTrans("TRANS = ROTATION(J,-Y,45)");
    EXPECT_TRUE(inverted->h.logHas("Line:2\tOnTrans\t\t\t回転移動オブジェクトを生成\tJ,Y,45"));
}

TEST(SectionHandlerTest, MalformedTransValuesReportOnTheirConsole) {
    struct Case {
        const char* line;
        const char* out;
        const char* err;
    };
    for (const Case& c : std::vector<Case>{
             {"TRANS = ROTATION(J, Z, 30)", "", "フォーマットエラー\n"},
             {"TRANS = ROTATION(J,-,30)", "", "フォーマットエラー\n"},
             {"TRANS = ROTATION(J,Z,30,4)", "", "フォーマットエラー\n"},
             {"TRANS = TRANSLATION(1,2)", "", "フォーマットエラー\n"},
             {"TRANS = TRANSLATION", "", "フォーマットエラー\n"},
             {"TRANS = SCALE(2)", "未定義コード\n", ""},
             {"TRANS ROTATION(Z,1)", "未定義コード\n", ""},
         }) {
        auto o = parseTrans(c.line);
        EXPECT_EQ(o->root, nullptr) << c.line;
        EXPECT_EQ(o->h.outSink.text(), std::string(c.out) + "Line:2にて構文エラー\n") << c.line;
        EXPECT_EQ(o->h.errSink.text(), c.err) << c.line;
        EXPECT_EQ(o->h.body().back(), "Line:2\tOnTrans\tLine:2にて構文エラー") << c.line;
    }
}

TEST(SectionHandlerTest, TransGoesToTheChainOfTheCurrentMode) {
    ParserHarness h;
    ASSERT_NE(h.parse("BEGIN PARTS = ROOT\n"
                      "TRANS = ROTATION(IN1,X,0)\n"
                      "BEGIN DRAWN STL = m\nTRANS = ROTATION(PRE,Y,0)\nEND DRAWN STL\n"
                      "BEGIN CHILD = p\nTRANS = ROTATION(OUT,Z,0)\nEND CHILD\n"
                      "TRANS = ROTATION(IN2,X,0)\n"
                      "TRANS = \n"  // creates nothing
                      "END PARTS\n"),
              nullptr);
    Parts* root = h.parts("ROOT");
    const auto names = [](const TransformChain& chain) {
        std::vector<std::string> result;
        for (const auto& e : chain.elements()) result.push_back(e->getName());
        return result;
    };
    EXPECT_EQ(names(root->inputTransforms()), (std::vector<std::string>{"IN1", "IN2"}));
    EXPECT_EQ(names(root->drawnObject()->preTrans()), std::vector<std::string>{"PRE"});
    EXPECT_EQ(names(root->findOutputPath("p")->transforms()), std::vector<std::string>{"OUT"});
}

TEST(SectionHandlerTest, TransWithoutAChainIsASyntaxError) {
    ParserHarness top;
    EXPECT_EQ(top.parse("TRANS = ROTATION(J,X,1)\n"), nullptr);
    EXPECT_EQ(top.body(),
              (std::vector<std::string>{"Line:1\tOnTrans\t\t\t回転移動オブジェクトを生成\tJ,X,1",
                                        "未定義シーケンス", "Line:1にて構文エラー"}));
    // A PARTS block opened and closed inside a DRAWN STL block leaves a current Parts without
    // a drawn object.
    expectRefused(
        "BEGIN PARTS = ROOT\nBEGIN DRAWN STL = m\nBEGIN PARTS = INNER\nEND PARTS\n"
        "TRANS = TRANSLATION(1,2,3)\n",
        {"描画オブジェクトがありません", "Line:5にて構文エラー"}, "Line:5にて構文エラー\n");
}

TEST(SectionHandlerTest, ColorNeedsThreeItemsAndAnStlObject) {
    ParserHarness h;
    ASSERT_NE(h.parse("BEGIN PARTS = ROOT\nBEGIN DRAWN STL = m\nCOLOR = 0.25,x,0x1p1\n"
                      "END DRAWN STL\nEND PARTS\n"),
              nullptr);
    auto* stl = dynamic_cast<DrawnObjectBySTL*>(h.parts("ROOT")->drawnObject());
    ASSERT_NE(stl, nullptr);
    EXPECT_FLOAT_EQ(stl->getColor()[0], 0.25F);
    EXPECT_FLOAT_EQ(stl->getColor()[1], 0.0F);
    EXPECT_FLOAT_EQ(stl->getColor()[2], 2.0F);
    EXPECT_TRUE(h.logHas("Line:3\tOnColor\tCOLOR = 0.25 0 2"));

    expectRefused("BEGIN PARTS = ROOT\nBEGIN DRAWN STL = m\nCOLOR = 1,,1\n",
                  {"Line:3\tOnColor\tフォーマットエラー", "Line:3にて構文エラー"});
    expectRefused(
        "BEGIN PARTS = ROOT\nBEGIN DRAWN STL = m\nBEGIN PARTS = IN\nEND PARTS\n"
        "COLOR = 1,1,1\n",
        {"Line:5\tOnColor\tダウンキャストに失敗", "Line:5にて構文エラー"});
}

TEST(SectionHandlerTest, PathLoadsTheMeshOrSaysWhyNot) {
    TempDir dir;
    const std::string good = dir.write("good.stl", oneFacetStl());
    std::string binary(80, ' ');
    binary += std::string("\x01\x00\x00\x00", 4) + std::string(50, '\0');  // one facet
    const std::string padded = dir.write("padded.stl", binary + std::string(16, '\0'));
    std::string truncated(80, ' ');
    truncated += std::string("\x02\x00\x00\x00", 4) + std::string(50, '\0');  // 2 facets, 1 given
    const std::string cut = dir.write("cut.stl", truncated);
    const std::string longLine =
        dir.write("long.stl", "solid x\r\nfacet\r\n" + std::string(kMaxLineBytes + 1, 'v'));
    const std::string prefix = "BEGIN PARTS = ROOT\nBEGIN DRAWN STL = m\n";

    for (const std::string& loads : {good, padded}) {
        ParserHarness ok;
        ASSERT_NE(ok.parse(prefix + "PATH = " + loads + "\nEND DRAWN STL\nEND PARTS\n"), nullptr);
        auto* stl = dynamic_cast<DrawnObjectBySTL*>(ok.parts("ROOT")->drawnObject());
        ASSERT_NE(stl, nullptr);
        EXPECT_EQ(stl->triangles().size(), 1U);
        EXPECT_EQ(ok.logHas("Line:3\t警告\tSTLファイルの面データの後ろに余分なバイトがあります"
                            "\t期待サイズ=134\t実サイズ=150"),
                  loads == padded);
    }

    // No STL in it (what a clone without git-lfs leaves): an empty mesh and a warning in the log
    // and on the console; the rest of the model loads.
    const std::string lfs = dir.write("lfs.stl",
                                      "version https://git-lfs.github.com/spec/v1\n"
                                      "oid sha256:4d7a\nsize 84\n");
    ParserHarness h;
    ASSERT_NE(h.parse(prefix + "PATH = " + lfs + "\nEND DRAWN STL\nEND PARTS\n"), nullptr);
    const std::string warning = "Line:3\t警告\tSTLファイル[" + lfs +
                                "]に面がありません\tGit LFSのポインタファイルです"
                                "(git lfs pullで中身を取得してください)";
    EXPECT_TRUE(h.logHas(warning));
    EXPECT_EQ(h.outSink.text(), warning + "\n設定ファイルのパースに成功...\n");

    const std::vector<std::pair<std::string, std::string>> refusals = {
        {dir.file("none.stl"), "STLファイルのオープンに失敗"},
        {cut, "STLファイルが途中で切れています\t期待サイズ=184\t実サイズ=134"},
        {dir.file(""), "STLファイル[" + dir.file("") + "]は通常のファイルではありません"},
        {longLine, "STLファイル[" + longLine + "]の3行目が長すぎます\t上限バイト数=1048576"},
    };
    for (const auto& [path, message] : refusals) {
        expectRefused(prefix + "PATH = " + path + "\n",
                      {"Line:3\tOnPATH\tパス=" + path, message, "Line:3にて構文エラー"});
    }
}

TEST(SectionHandlerTest, DuplicateNamesKeepTheFirstAndWarn) {
    ParserHarness h;
    ASSERT_NE(h.parse("BEGIN PARTS = ROOT\nTRANS = ROTATION(FIRST,X,0)\nEND PARTS\n"
                      "BEGIN PARTS = ROOT\nTRANS = ROTATION(SECOND,X,0)\n"
                      "BEGIN CHILD = p\nTRANS = ROTATION(P1,X,0)\nEND CHILD\n"
                      "BEGIN CHILD = p\nTRANS = ROTATION(P2,X,0)\nNEXT = ROOT\nEND CHILD\n"
                      "END PARTS\n"),
              nullptr);
    EXPECT_NE(h.parts("ROOT")->inputTransforms().find("FIRST"), nullptr);
    EXPECT_TRUE(h.logHas("Line:9\t警告\tパス名[p]は登録済みのため最初の定義を使います"));
    EXPECT_TRUE(h.logHas("Line:13\t警告\tパーツ名[ROOT]は登録済みのため最初の定義を使います"));
    EXPECT_EQ(h.outSink.text(), "設定ファイルのパースに成功...\n");
}

TEST(SectionHandlerTest, SecondDrawnObjectReplacesTheFirstAndEmptyNextLeavesNoChild) {
    ParserHarness h;
    ASSERT_NE(h.parse("BEGIN PARTS = ROOT\nBEGIN ASSEM\nBEGIN DRAWN STL = one\nEND DRAWN STL\n"
                      "BEGIN DRAWN STL = two\nEND DRAWN STL\nEND ASSEM x\n"
                      "BEGIN CHILD = p\nNEXT =\nEND CHILD\nEND PARTS\n"),
              nullptr);
    EXPECT_EQ(h.parts("ROOT")->drawnObject()->getName(), "two");
    EXPECT_TRUE(h.logHas("Line:9\tNEXT  =\t="));
    EXPECT_FALSE(h.parts("ROOT")->findOutputPath("p")->hasChild());
}

}  // namespace
}  // namespace pelorin::test
