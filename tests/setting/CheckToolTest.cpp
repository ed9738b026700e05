// pelorin-check as a user runs it: on the samples (in a copy, so that the log stays out of the
// source tree), on a broken file and with a bad command line.
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>

#include "ParserHarness.h"
#include "tests/support/MemoryLimit.h"
#include "tests/support/SpecialFiles.h"
#include "util/TextHelpers.h"

namespace pelorin::test {
namespace {

struct RunResult {
    int status = -1;
    std::string output;  // standard output and standard error
};

// `limits` are shell commands run first (such as a ulimit). A run that hangs is ended after a
// minute, so that a reader that waits on input fails the test instead of stopping it.
RunResult runCheck(const std::string& arguments, const std::filesystem::path& dir,
                   const std::string& limits = "") {
    WorkingDirectory inDir(dir);
    // A UTF-8 locale, so that the console texts compare as written here.
    const std::string command =
        limits + " LC_ALL=C.UTF-8 timeout 60 '" + PELORIN_CHECK_PATH + "' " + arguments + " 2>&1";
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) {
        ADD_FAILURE() << "cannot run " << command;
        return result;
    }
    char buffer[4096];
    std::size_t got = 0;
    while ((got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0)
        result.output.append(buffer, got);
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

std::filesystem::path copySample(const std::string& name, const ScratchDir& dir) {
    const std::filesystem::path source =
        std::filesystem::path(sourceFile("samples/" + name + "/" + name + ".txt")).parent_path();
    std::filesystem::copy(source, dir.path());
    return dir.path();
}

TEST(CheckToolTest, SamplesParseAndListTheirValueTables) {
    struct Case {
        const char* name;
        std::vector<std::string> table;
    };
    for (const Case& c : std::vector<Case>{
             {"two-link-arm",
              {"値テーブル\t2", "番号\tDATAPORT行\t種類\t現在値", "0\tROOT.BASEYAW\tangle\t0",
               "1\tROOT.toArm.J1\tangle\t0"}},
             {"gripper-arm",
              {"値テーブル\t6", "番号\tDATAPORT行\t種類\t現在値", "0\tROOT.BASEYAW\tangle\t0",
               "1\tROOT.toShoulder.SHOULDER\tangle\t20", "2\tLINK1.toElbow.ELBOW\tangle\t40",
               "3\tLINK2.toWrist.WRIST\tangle\t0", "4\tHAND.toLeft.LGRIP.X\tx\t-100",
               "5\tHAND.toRight.RGRIP.X\tx\t100"}},
         }) {
        ScratchDir dir;
        const RunResult run = runCheck(std::string(c.name) + ".txt", copySample(c.name, dir));
        EXPECT_EQ(run.status, 0) << run.output;
        const std::vector<std::string> lines = splitLines(run.output);
        ASSERT_GE(lines.size(), c.table.size()) << run.output;
        EXPECT_EQ(std::vector<std::string>(lines.end() - c.table.size(), lines.end()), c.table);
        EXPECT_TRUE(std::filesystem::exists(dir.file("PASER_LOG.txt")));
    }
}

TEST(CheckToolTest, BrokenFileAndBadCommandLineExitWithOne) {
    ScratchDir dir;
    dir.write("broken.txt", "BEGIN PARTS = ROOT\nEND CHILD\n");
    const RunResult broken = runCheck("broken.txt", dir.path());
    EXPECT_EQ(broken.status, 1);
    EXPECT_NE(broken.output.find("設定ファイルの構文解析に失敗\n"), std::string::npos)
        << broken.output;

    const RunResult usage = runCheck("", dir.path());
    EXPECT_EQ(usage.status, 1);
    EXPECT_EQ(usage.output, "使い方: pelorin-check 設定ファイル\n");

    const RunResult missing = runCheck("absent.txt", dir.path());
    EXPECT_EQ(missing.status, 1);
    EXPECT_EQ(missing.output, "設定ファイル[absent.txt]が開けません\n");
}

TEST(CheckToolTest, FifoOrDirectoryIsRefusedAtOnce) {
    ScratchDir dir;
    ASSERT_TRUE(testing::makeFifo(dir.file("fifo.txt")));
    const testing::FifoUnblocker unblocker(dir.file("fifo.txt"), std::chrono::seconds(2));
    for (const char* name : {"fifo.txt", "."}) {
        const RunResult run = runCheck(name, dir.path());
        EXPECT_EQ(run.status, 1) << name;
        EXPECT_EQ(run.output,
                  "設定ファイル[" + std::string(name) + "]は通常のファイルではありません\n");
    }
}

std::string logOf(const ScratchDir& dir) {
    return decodeCp932(readBytes(dir.file(SettingFileParser::kLogFileName)));
}

// Input that would take gigabytes ends the check with a message and status 1, never an abort:
// a 2 GB binary STL whose count matches its size (sparse, so it costs no disk) under a limit
// of 512 MB of address space, and an STL file that is one long line.
TEST(CheckToolTest, MeshesTooLargeForMemoryOrLinesEndTheCheckWithStatusOne) {
    ScratchDir dir;
    constexpr std::uint32_t kCount = 40000000;
    std::string header = "huge" + std::string(76, ' ');
    for (int i = 0; i < 4; ++i) header.push_back(static_cast<char>((kCount >> (8 * i)) & 0xFF));
    const std::string huge = dir.write("huge.stl", header);
    ASSERT_EQ(truncate(huge.c_str(), 84 + 50 * static_cast<off_t>(kCount)), 0);
    dir.write("long.stl", "solid " + std::string(kMaxLineBytes + 100, 'x'));
    const std::string robot = "BEGIN PARTS = ROOT\nBEGIN DRAWN STL = m\nPATH = ";
    dir.write("huge.txt", robot + "huge.stl\n");
    dir.write("long.txt", robot + "long.stl\n");
    if (!testing::kSanitizedBuild) {  // the sanitizers cannot run under an address-space limit
        const RunResult hugeRun = runCheck("huge.txt", dir.path(), "ulimit -v 524288;");
        EXPECT_EQ(hugeRun.status, 1) << hugeRun.output;
        EXPECT_NE(hugeRun.output.find("設定ファイルの構文解析に失敗"), std::string::npos);
        EXPECT_NE(logOf(dir).find("STLファイル[huge.stl]を読むメモリが足りません\t面数=40000000\n"),
                  std::string::npos)
            << logOf(dir);
    }
    const RunResult longRun = runCheck("long.txt", dir.path());
    EXPECT_EQ(longRun.status, 1) << longRun.output;
    EXPECT_NE(logOf(dir).find("STLファイル[long.stl]の1行目が長すぎます\t上限バイト数=1048576\n"),
              std::string::npos)
        << logOf(dir);
}

}  // namespace
}  // namespace pelorin::test
