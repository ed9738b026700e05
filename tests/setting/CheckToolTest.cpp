// pelorin-check as a user runs it: on the samples (in a copy, so that the log stays out of the
// source tree), on a broken file and with a bad command line.
#include <sys/wait.h>

#include <cstdio>

#include "ParserHarness.h"

namespace pelorin::test {
namespace {

struct RunResult {
    int status = -1;
    std::string output;  // standard output and standard error
};

RunResult runCheck(const std::string& arguments, const std::filesystem::path& dir) {
    WorkingDirectory inDir(dir);
    // A UTF-8 locale, so that the console texts compare as written here.
    const std::string command =
        std::string("LC_ALL=C.UTF-8 '") + PELORIN_CHECK_PATH + "' " + arguments + " 2>&1";
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

}  // namespace
}  // namespace pelorin::test
