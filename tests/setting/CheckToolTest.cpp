// pelorin-check as a user runs it: on the samples (in a copy, so that the log stays out of the
// source tree), on a broken file and with a bad command line, and its pose lines.
#include <unistd.h>

#include <sstream>

#include "ParserHarness.h"
#include "tests/support/MemoryLimit.h"
#include "tests/support/SpecialFiles.h"

namespace pelorin::test {
namespace {

struct RunResult {
    int status = -1;
    std::string output;  // standard output and standard error
};

// `limits` are shell commands run first (such as a ulimit). A run that hangs is ended after a
// minute, so that a reader that waits on input fails the test instead of stopping it. A UTF-8
// locale, so that the console texts compare as written here.
RunResult runCheck(const std::string& arguments, const std::string& dir,
                   const std::string& limits = "") {
    const std::string command =
        limits + " exec '" + std::string(PELORIN_CHECK_PATH) + "' " + arguments + " 2>&1";
    const pelorin::testing::RunResult run = pelorin::testing::runToEnd(
        {"sh", "-c", command}, dir, std::chrono::seconds(60), "", {{"LC_ALL", "C.UTF-8"}});
    return {run.exitCode, run.out};
}

std::string copySample(const std::string& name, const TempDir& dir) {
    const std::filesystem::path source =
        std::filesystem::path(sourceFile("samples/" + name + "/" + name + ".txt")).parent_path();
    std::filesystem::copy(source, dir.path());
    return dir.path();
}

TEST(CheckToolTest, SampleParsesAndListsItsValueTable) {
    const std::vector<std::string> table = {"値テーブル\t6",
                                            "番号\tDATAPORT行\t種類\t現在値",
                                            "0\tROOT.BASEYAW\tangle\t0",
                                            "1\tROOT.toShoulder.SHOULDER\tangle\t20",
                                            "2\tLINK1.toElbow.ELBOW\tangle\t40",
                                            "3\tLINK2.toWrist.WRIST\tangle\t0",
                                            "4\tHAND.toLeft.LGRIP.X\tx\t-100",
                                            "5\tHAND.toRight.RGRIP.X\tx\t100"};
    TempDir dir;
    const RunResult run = runCheck("gripper-arm.txt", copySample("gripper-arm", dir));
    EXPECT_EQ(run.status, 0) << run.output;
    const std::vector<std::string> lines = splitLines(run.output);
    ASSERT_GE(lines.size(), table.size()) << run.output;
    EXPECT_EQ(std::vector<std::string>(lines.end() - table.size(), lines.end()), table);
    EXPECT_TRUE(std::filesystem::exists(dir.file("PASER_LOG.txt")));
}

// A broken file, a bad command line, a missing file, a FIFO (refused at once, without waiting
// for a writer) and a directory: status 1 and one message.
TEST(CheckToolTest, FilesThatCannotBeCheckedExitWithOne) {
    TempDir dir;
    dir.write("broken.txt", "BEGIN PARTS = ROOT\nEND CHILD\n");
    ASSERT_TRUE(testing::makeFifo(dir.file("fifo.txt")));
    const testing::FifoUnblocker unblocker(dir.file("fifo.txt"), std::chrono::seconds(2));
    const std::string notRegular = "]は通常のファイルではありません\n";
    for (const auto& [arguments, output] : std::vector<std::pair<std::string, std::string>>{
             {"", "使い方: pelorin-check 設定ファイル [--values 値,値,...] [--poses]\n"},
             {"absent.txt", "設定ファイル[absent.txt]が開けません\n"},
             {"fifo.txt", "設定ファイル[fifo.txt" + notRegular},
             {".", "設定ファイル[." + notRegular},
             {"broken.txt", "設定ファイルの構文解析に失敗\n"}}) {
        const RunResult run = runCheck(arguments, dir.path());
        EXPECT_EQ(run.status, 1) << arguments;
        if (arguments == "broken.txt") {
            EXPECT_NE(run.output.find(output), std::string::npos) << run.output;
        } else {
            EXPECT_EQ(run.output, output);
        }
    }
}

// A mesh that would take gigabytes ends the check with a message and status 1, never an abort:
// a 2 GB binary STL whose count matches its size (sparse, so it costs no disk) under a limit
// of 512 MB of address space.
TEST(CheckToolTest, MeshTooLargeForMemoryEndsTheCheckWithStatusOne) {
    if (testing::kSanitizedBuild) GTEST_SKIP() << "no address-space limit under the sanitizers";
    TempDir dir;
    constexpr std::uint32_t kCount = 40000000;
    std::string header = "huge" + std::string(76, ' ');
    for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>((kCount >> (8 * i)) & 0xFF));
    const std::string huge = dir.write("huge.stl", header);
    ASSERT_EQ(truncate(huge.c_str(), 84 + 50 * static_cast<off_t>(kCount)), 0);
    dir.write("huge.txt", "BEGIN PARTS = ROOT\nBEGIN DRAWN STL = m\nPATH = huge.stl\n");
    const RunResult run = runCheck("huge.txt", dir.path(), "ulimit -v 524288;");
    EXPECT_EQ(run.status, 1) << run.output;
    EXPECT_NE(run.output.find("設定ファイルの構文解析に失敗"), std::string::npos);
    const std::string log = decodeCp932(readFile(dir.file(SettingFileParser::kLogFileName)));
    EXPECT_NE(log.find("STLファイル[huge.stl]を読むメモリが足りません\t面数=40000000\n"),
              std::string::npos)
        << log;
}

// The checker and the importer open no window, so they must start on a machine without any GL
// library.
TEST(CheckToolTest, WindowlessToolsLinkNoGlLibrary) {
    for (const char* program : {PELORIN_CHECK_PATH, PELORIN_IMPORT_PATH}) {
        SCOPED_TRACE(program);
        const pelorin::testing::RunResult run = pelorin::testing::runToEnd(
            {"readelf", "-d", program}, ".", std::chrono::seconds(60), "", {});
        ASSERT_EQ(run.exitCode, 0) << run.err;
        std::vector<std::string> needed;
        for (const std::string& line : splitLines(run.out)) {
            const std::size_t open =
                line.find("(NEEDED)") == std::string::npos ? line.npos : line.find('[');
            if (open != std::string::npos) needed.push_back(line.substr(open + 1));
        }
        ASSERT_FALSE(needed.empty()) << run.out;  // the C library at least
        for (const std::string& library : needed) {
            for (const char* gl : {"libGL", "libOpenGL", "libglut", "libEGL"}) {
                EXPECT_NE(library.rfind(gl, 0), 0U) << library;
            }
        }
    }
}

// A slide on the root and a turn on the path to the arm, both driven; each body draws a
// triangle with corners (0,0,0), (2,0,0) and (0,3,0).
const char* const kTwoJointRobot =
    "BEGIN PARTS = ROOT\nTRANS = TRANSLATION(SLIDE,5,0,0)\n"
    "BEGIN DRAWN STL = base\nPATH = tri.stl\nEND DRAWN STL\n"
    "BEGIN CHILD = toArm\nTRANS = TRANSLATION(0,10,0)\nTRANS = ROTATION(TURN,Z,0)\n"
    "NEXT = ARM\nEND CHILD\nEND PARTS\n"
    "BEGIN PARTS = ARM\nBEGIN DRAWN STL = arm\nPATH = tri.stl\nEND DRAWN STL\nEND PARTS\n"
    "BEGIN DATAPORT\nROOT.SLIDE.X\nROOT.toArm.TURN\nEND DATAPORT\n";

// The pose and bounds lines of a run: the first word, then the numbers, then the path if any.
struct PoseLine {
    std::string path;
    std::vector<double> numbers;
};

std::vector<PoseLine> poseLines(const std::string& output) {
    std::vector<PoseLine> lines;
    for (const std::string& line : splitLines(output)) {
        std::istringstream in(line);
        std::string word;
        in >> word;
        if (word != "pose" && word != "bounds") continue;
        PoseLine parsed{word, {}};
        for (double v = 0; in >> v;) parsed.numbers.push_back(v);
        in.clear();
        if (word == "pose") in >> parsed.path;
        lines.push_back(parsed);
    }
    return lines;
}

void expectNumbers(const PoseLine& line, const std::vector<double>& expected) {
    ASSERT_EQ(line.numbers.size(), expected.size()) << line.path;
    for (std::size_t i = 0; i < expected.size(); ++i) {
        EXPECT_NEAR(line.numbers[i], expected[i], 1e-9) << line.path << " number " << i;
    }
}

TEST(CheckToolTest, PosesGiveEachDrawnBodyAndTheBoxUnderTheFileOrTheGivenValues) {
    TempDir dir;
    dir.write("tri.stl",
              "solid t\nfacet normal 0 0 1\nouter loop\nvertex 0 0 0\nvertex 2 0 0\n"
              "vertex 0 3 0\nendloop\nendfacet\nendsolid t\n");
    dir.write("robot.txt", kTwoJointRobot);
    const RunResult fileValues = runCheck("robot.txt --poses", dir.path());
    EXPECT_EQ(fileValues.status, 0) << fileValues.output;
    std::vector<PoseLine> lines = poseLines(fileValues.output);
    ASSERT_EQ(lines.size(), 3U) << fileValues.output;
    EXPECT_EQ(lines[1].path, "ROOT/toArm/ARM");
    expectNumbers(lines[1], {5, 10, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1});

    // Slid to x = 1, the arm turned by 90 degrees: its x axis along y, its y axis along -x.
    const RunResult given = runCheck("--values ' 1, 90' robot.txt --poses", dir.path());
    EXPECT_EQ(given.status, 0) << given.output;
    lines = poseLines(given.output);
    ASSERT_EQ(lines.size(), 3U) << given.output;
    EXPECT_EQ(lines[0].path, "ROOT");
    expectNumbers(lines[0], {1, 0, 0, 1, 0, 0, 0, 1, 0, 0, 0, 1});
    expectNumbers(lines[1], {1, 10, 0, 0, -1, 0, 1, 0, 0, 0, 0, 1});
    EXPECT_EQ(lines[2].path, "bounds");
    expectNumbers(lines[2], {-2, 0, 0, 3, 12, 0});

    for (const auto& [values, message] : std::vector<std::pair<std::string, std::string>>{
             {"1,9O", "--values の 2 番目の値[9O]は有限の数ではありません\n"},
             {"1,,2", "--values の 2 番目の値[]は有限の数ではありません\n"},
             {"nan", "--values の 1 番目の値[nan]は有限の数ではありません\n"},
             {"1e999", "--values の 1 番目の値[1e999]は有限の数ではありません\n"},
             {"1,2,3", "--values の値が多すぎます: 値テーブルは 2 個, 値は 3 個\n"}}) {
        const RunResult bad = runCheck("robot.txt --poses --values " + values, dir.path());
        EXPECT_EQ(bad.status, 1) << values;
        EXPECT_NE(bad.output.find(message), std::string::npos) << bad.output;
        EXPECT_TRUE(poseLines(bad.output).empty()) << bad.output;
    }
}

}  // namespace
}  // namespace pelorin::test
