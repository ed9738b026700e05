// The ways Pelorin's start can fail, with the exact console output and exit status.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/component/PelorinRun.h"
#include "util/Encoding.h"

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

class StartFailureTest : public ::testing::Test {
  protected:
    RunResult runPelorin(const std::vector<std::string>& args,
                         const std::string& locale = "C.UTF-8") {
        std::vector<std::string> argv = {pelorinProgram()};
        argv.insert(argv.end(), args.begin(), args.end());
        return runToEnd(argv, run_.folder().path(), 60s, "",
                        {{"LC_ALL", locale},
                         {"RTC_MANAGER_CONFIG", run_.folder().file("rtc.conf")},
                         {"DISPLAY", ""}});
    }

    NamingService naming_;
    PelorinRun run_{naming_};
};

TEST_F(StartFailureTest, BadCommandLinesEndWithStatusOneBeforeTheFramework) {
    struct Case {
        std::vector<std::string> args;
        std::string out;
    };
    // Every row of the argument table is in ApplicationTest; here one of each outcome.
    const Case cases[] = {
        {{"-debug", "robot.txt", "extra"}, "RTM起動\n引数が不正です\nプログラム起動に失敗"},
        {{"-DEBUG", "robot.txt"}, "RTM起動\nプログラム起動に失敗"},
        {{"-debug", "missing.txt"},
         "RTM起動\nデバッグモード\n設定ファイル[missing.txt]が開けません\nプログラム起動に失敗"},
    };
    for (const Case& c : cases) {
        const RunResult result = runPelorin(c.args);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 1) << c.out;
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, "");
    }
    // The setting file was never read: its reading always writes the parser log.
    EXPECT_FALSE(std::filesystem::exists(run_.folder().file("PASER_LOG.txt")));
}

TEST_F(StartFailureTest, ShiftJisConsoleGetsCp932) {
    const RunResult result = runPelorin({}, "ja_JP.SJIS");
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_EQ(result.out,
              encodeText("RTM起動\n引数が不正です\nプログラム起動に失敗", TextEncoding::Cp932));
}

TEST_F(StartFailureTest, ParseFailureAfterTheManagerStartedEndsWithStatusOne) {
    ASSERT_TRUE(naming_.ok()) << naming_.error();
    run_.folder().write("broken.txt", "BEGIN PARTS = ROOT\nEND CHILD\n");
    const RunResult result = runPelorin({"broken.txt"});
    ASSERT_TRUE(result.finished);
    EXPECT_EQ(result.exitCode, 1);
    const std::string tail = "Line:2にて構文エラー\n設定ファイルの構文解析に失敗\n";
    ASSERT_GE(result.out.size(), tail.size()) << result.out;
    EXPECT_EQ(result.out.substr(0, std::string("RTM起動\n").size()), "RTM起動\n");
    EXPECT_EQ(result.out.substr(result.out.size() - tail.size()), tail);
    // The parser ran, which happens only inside the component's creation by the manager.
    EXPECT_TRUE(std::filesystem::exists(run_.folder().file("PASER_LOG.txt")));
}

// pelorin-send's failures name what is wrong, one line each, with status 2 for a bad command
// line and 1 for a component it cannot reach.
TEST(SenderErrorTest, EachFailureSaysWhatIsWrong) {
    NamingService naming;
    ASSERT_TRUE(naming.ok()) << naming.error();
    TempDir folder;
    const std::string port = std::to_string(naming.port());
    const std::string nobody = std::to_string(freeLoopbackPort());
    struct Case {
        std::vector<std::string> args;
        int status;
        std::string err;
    };
    const Case cases[] = {
        {{"-p", port, "--nonsense"}, 2, "pelorin-send: unknown option: --nonsense\n"},
        {{"-p", nobody, "1"},
         1,
         "pelorin-send: naming service not reachable at corbaloc:iiop:127.0.0.1:" + nobody +
             "/NameService\n"},
        {{"-p", port, "-n", "nohost.host_cxt/Nobody0.rtc", "1"},
         1,
         "pelorin-send: no such name in the naming service: nohost.host_cxt/Nobody0.rtc\n"},
        {{"-i", "not-a-reference", "1"},
         1,
         "pelorin-send: cannot use reference: not-a-reference\n"},
        {{"-i", "corbaloc:iiop:127.0.0.1:" + port + "/NameService", "1"},
         1,
         "pelorin-send: not an RT-Component: corbaloc:iiop:127.0.0.1:" + port + "/NameService\n"},
    };
    for (const Case& c : cases) {
        std::vector<std::string> argv = {sendProgram()};
        argv.insert(argv.end(), c.args.begin(), c.args.end());
        const RunResult result = runToEnd(argv, folder.path(), kPatience);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, c.status) << c.err;
        // A bad command line is followed by the usage text.
        const std::string usage = c.status == 2 ? "Usage: pelorin-send [options] [VALUE...]\n" : "";
        EXPECT_EQ(result.err.substr(0, c.err.size() + usage.size()), c.err + usage);
    }
}

}  // namespace
}  // namespace pelorin::testing
