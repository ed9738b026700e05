// The reading loop: the example file's log, line forms, comments, collected lines and the
// failures that end the read.
#include <regex>

#include "ParserHarness.h"
#include "tests/support/MemoryLimit.h"
#include "tests/support/SpecialFiles.h"
#include "util/TextHelpers.h"

namespace pelorin::test {
namespace {

constexpr std::size_t kTimeLine = 2;

// Replaces the time text of the header (after its tab) with a fixed mark.
std::string maskTimeLine(const std::string& log) {
    std::vector<std::string> lines = splitLines(log);
    if (lines.size() <= kTimeLine) return log;
    std::string& time = lines[kTimeLine];
    time = time.substr(0, time.find('\t') + 1) + "<TIME>";
    std::string joined;
    for (const std::string& line : lines) joined += line + "\n";
    return joined;
}

TEST(SettingReaderTest, ExampleFileGivesTheExampleLogAndConsole) {
    const std::string golden = readFile(sourceFile("tests/setting/golden/two-link-arm.log"));
    const std::string settingFile = sourceFile("samples/two-link-arm/two-link-arm.txt");
    WorkingDirectory inSample(std::filesystem::path(settingFile).parent_path());
    ParserHarness h;

    Parts* root = h.parser->parse("two-link-arm.txt");

    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->getName(), "ROOT");
    EXPECT_EQ(maskTimeLine(h.logSink.text()), golden);
    EXPECT_EQ(h.outSink.text(), "設定ファイルのパースに成功...\n");
    EXPECT_EQ(h.errSink.text(), "");
    const std::vector<std::string> lines = splitLines(h.logText());
    EXPECT_TRUE(std::regex_match(lines.at(kTimeLine),
                                 std::regex("実行時刻\t[A-Z][a-z]{2} [A-Z][a-z]{2} [ 0-9][0-9] "
                                            "[0-9]{2}:[0-9]{2}:[0-9]{2} [0-9]{4}")))
        << lines.at(kTimeLine);
    EXPECT_EQ(lines.at(kTimeLine + 1), "");
}

TEST(SettingReaderTest, MissingFileFailsInTheLinkAndAFifoIsRefusedWithoutWaiting) {
    TempDir dir;
    ParserHarness h;
    EXPECT_EQ(h.parser->parse(dir.file("absent.txt")), nullptr);
    EXPECT_EQ(h.body(),
              (std::vector<std::string>{"Finish Parse", "リンク開始", "パーツが一つもありません"}));
    EXPECT_EQ(h.outSink.text(), "パーツのリンクに失敗\n");

    // A FIFO would hold the read until a writer came; the unblocker turns a wait into a failure.
    const std::string fifo = dir.file("robot.txt");
    ASSERT_TRUE(testing::makeFifo(fifo));
    const testing::FifoUnblocker unblocker(fifo, std::chrono::seconds(2));
    ParserHarness fromFifo;
    EXPECT_EQ(fromFifo.parser->parse(fifo), nullptr);
    const std::string refused = "設定ファイル[" + fifo + "]は通常のファイルではありません";
    EXPECT_EQ(fromFifo.outSink.text(), refused + "\n");
    EXPECT_EQ(fromFifo.body(), std::vector<std::string>{refused});
}

const char* const kSmallRobot =
    "# robot\n"
    "BEGIN PARTS = ROOT\n"
    "\tTRANS = ROTATION(YAW,Z,15)\n"
    "  BEGIN CHILD = up\n"
    "    TRANS = TRANSLATION(0,0,10)\n"
    "    NEXT = TOP\n"
    "  END CHILD\n"
    "END PARTS\n"
    "\n"
    "BEGIN PARTS = TOP\n"
    "END PARTS\n"
    "BEGIN DATAPORT\n"
    "ROOT.YAW\n"
    "ROOT.up.TRANS_Line5.Z\n"
    "END DATAPORT\n";

// No line is held past kMaxLineBytes, however it arrives: a longer one is a syntax error at its
// line. Lines up to the bound (a CR before the LF not counted), long names and a last line
// without a line feed are read.
TEST(SettingReaderTest, LinesLongerThanTheBoundAreSyntaxErrors) {
    const std::string longest = "# " + std::string(kMaxLineBytes - 2, 'c');
    const std::string longName(300, 'N');
    ParserHarness whole;
    ASSERT_NE(whole.parse("BEGIN PARTS = ROOT\r\n" + longest + "\r\nTRANS = ROTATION(" + longName +
                          ",X,1)\nEND PARTS\nBEGIN DATAPORT\nROOT." + longName + "\nEND DATAPORT"),
              nullptr);
    EXPECT_EQ(whole.parser->valueTable().size(), 1U);
    EXPECT_TRUE(whole.logHas("Line:7\tOnEnd_DATAPORT\tデータポートリンクモードから抜けます"));
    for (const std::string& end : {std::string("\nEND PARTS\n"), std::string()}) {
        expectRefused("BEGIN PARTS = ROOT\n\n" + longest + "c" + end,
                      {"Line:3\t行が長すぎます\t上限バイト数=1048576", "Line:3にて構文エラー"},
                      "Line:3にて構文エラー\n");
    }
}

// The log file is buffered, and flushed before parse returns: on success and on failure it then
// holds every line, the same as a log handed in.
TEST(SettingReaderTest, LogFileIsCompleteWhenTheReadEnds) {
    for (const std::string& text :
         {std::string(kSmallRobot), std::string(kSmallRobot) + "oops\n"}) {
        TempDir dir;
        WorkingDirectory inDir(dir.path());
        dir.write("robot.txt", text);
        ParserHarness memory;
        memory.parse(text);
        // Read while the parser and its log still live, as in the program.
        const auto fileParser = std::make_unique<SettingFileParser>();
        EXPECT_EQ(fileParser->parse("robot.txt") == nullptr, memory.result == nullptr);
        std::vector<std::string> fromFile =
            splitLines(decodeCp932(readFile(dir.file(SettingFileParser::kLogFileName))));
        std::vector<std::string> fromMemory = splitLines(memory.logText());
        ASSERT_GT(fromFile.size(), kTimeLine);
        ASSERT_GT(fromMemory.size(), kTimeLine);
        fromFile[1] = fromMemory[1] = fromFile[kTimeLine] = fromMemory[kTimeLine] = "";
        EXPECT_EQ(fromFile, fromMemory);
    }
}

// Memory that runs out while reading ends the read with a message instead of an abort; the
// caller then exits with status 1. The DATAPORT lines of a long file take the memory here.
TEST(SettingReaderDeathTest, MemoryRunningOutEndsTheReadWithAMessage) {
    if (testing::kSanitizedBuild) GTEST_SKIP() << "no address-space limit under the sanitizers";
    std::string text = "BEGIN DATAPORT\n";
    for (int i = 0; i < 1000000; ++i) text += "ROOT.J" + std::to_string(i) + "\n";
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    EXPECT_EXIT(
        {
            ParserHarness h;
            testing::limitAddressSpace(std::size_t{16} << 20);
            const bool refused = h.parse(text) == nullptr &&
                                 h.outSink.text() == "メモリが足りないため読み込みを中止しました\n";
            std::fputs(refused ? "as expected" : "otherwise", stderr);
            std::_Exit(refused ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "as expected");
}

// Each file ends the read at the line shown last in the log, with the console text given.
TEST(SettingReaderTest, FailuresNameTheirLineInTheLogAndOnTheConsole) {
    struct Case {
        std::string text;
        std::vector<std::string> logTail;
        const char* console;
    };
    for (const Case& c : std::vector<Case>{
             // Empty lines and comments count; keywords are case-sensitive; a line of blanks
             // is no empty line; an undefined code has no console message.
             {"\n# note\n\ntrans = ROTATION(Z,1)\n",
              {"Line:4\t未定義コード:trans = ROTATION(Z,1)"},
              ""},
             {"BEGIN PARTS = A\n   \n", {"Line:2\t未定義コード:"}, ""},
             {"  ROOT.J1\n", {"Line:1\t未定義コード:ROOT.J1"}, ""},
             {"BEGIN PARTS = ROOT\nEND PARTS\nBEGIN DATAPORT\n \nEND DATAPORT\n",
              {"target =", "区切りの数が足りません"},
              "データポートのリンクに失敗\n"},
             // A DATAPORT line that begins with a keyword goes to its handler.
             {"BEGIN DATAPORT\nNEXTARM.J1\n",
              {"Line:2\tNEXT ARM.J1\tシーケンスエラー", "Line:2にて構文エラー"},
              "Line:2にて構文エラー\n"},
             // Unclosed blocks are no error, but an unclosed ROOT is not found.
             {"BEGIN PARTS = A\nEND PARTS\nBEGIN PARTS = ROOT\n",
              {"ROOTが見つかりません"},
              "パーツのリンクに失敗\n"},
         }) {
        expectRefused(c.text, c.logTail, c.console);
    }
    ParserHarness open;
    EXPECT_NE(open.parse("BEGIN PARTS = ROOT\nEND PARTS\nBEGIN DATAPORT\n"), nullptr);
}

TEST(SettingReaderTest, DataPortAndSwitchBlocksCollectPlainLines) {
    ParserHarness h;
    const Parts* root = h.parse(
        "BEGIN PARTS = ROOT\nTRANS = ROTATION(J,Z,0)\nEND PARTS\n"
        "BEGIN DATAPORT\n  # a comment stays a comment\n\tROOT.J\nEND DATAPORT\n"
        "BEGIN SWITCH\nTOOL\n  LHAND.grip\nEND SWITCH\n");
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(h.parser->dataPortLines(), std::vector<std::string>{"ROOT.J"});
    EXPECT_EQ(h.parser->switchLines(), (std::vector<std::string>{"TOOL", "LHAND.grip"}));
    EXPECT_TRUE(h.logHas("Line:5\tコメント:# a comment stays a comment"));
    EXPECT_EQ(h.outSink.text(),
              "Line:8\tOnBEGIN_SWITCH\nadd switch ele\tTOOL\nadd switch ele\tLHAND.grip\n"
              "Line:11\tOnEND_SWTICH\n設定ファイルのパースに成功...\n");
}

}  // namespace
}  // namespace pelorin::test
