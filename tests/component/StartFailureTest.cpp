// The ways Pelorin's start can fail, with the exact console output and exit status.
#include <gtest/gtest.h>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <signal.h>
#include <sys/socket.h>
#include <unistd.h>

#include <filesystem>

#include "tests/component/PelorinRun.h"
#include "tests/support/SpecialFiles.h"
#include "util/Encoding.h"

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

// A TCP port on 127.0.0.1 that takes connections and never answers.
class ListeningSocket {
  public:
    ListeningSocket() : fd_(socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0)) {
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t size = sizeof address;
        if (fd_ < 0 || bind(fd_, reinterpret_cast<sockaddr*>(&address), size) != 0 ||
            listen(fd_, 8) != 0 ||
            getsockname(fd_, reinterpret_cast<sockaddr*>(&address), &size) != 0)
            return;
        port_ = ntohs(address.sin_port);
    }
    ~ListeningSocket() {
        if (accepted_ >= 0) close(accepted_);
        if (fd_ >= 0) close(fd_);
    }
    ListeningSocket(const ListeningSocket&) = delete;
    ListeningSocket& operator=(const ListeningSocket&) = delete;

    bool ok() const { return port_ > 0; }
    int port() const { return port_; }
    // Waits for the first connection and keeps it open.
    bool acceptWithin(std::chrono::milliseconds limit) {
        pollfd ready{fd_, POLLIN, 0};
        if (poll(&ready, 1, static_cast<int>(limit.count())) != 1) return false;
        accepted_ = accept(fd_, nullptr, nullptr);
        return accepted_ >= 0;
    }

  private:
    int fd_;
    int accepted_ = -1;
    int port_ = 0;
};

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
        std::string err;
    };
    // Every row of the argument table is in ApplicationTest; here one of each outcome.
    const Case cases[] = {
        {{"-debug", "robot.txt", "extra"}, "RTM起動\n引数が不正です\nプログラム起動に失敗", ""},
        {{"-o", "a:b", "-z", "robot.txt"},
         "RTM起動\nプログラム起動に失敗",
         pelorinProgram() + ": invalid option -- 'z'\n"},
        {{"-debug", "missing.txt"},
         "RTM起動\nデバッグモード\n設定ファイル[missing.txt]が開けません\nプログラム起動に失敗",
         ""},
    };
    for (const Case& c : cases) {
        const RunResult result = runPelorin(c.args);
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, 1) << c.out;
        EXPECT_EQ(result.out, c.out);
        EXPECT_EQ(result.err, c.err);
    }
    // A FIFO for rtc.conf is refused, not waited on (nothing will ever write to it).
    const std::string fifo = run_.folder().file("fifo.conf");
    ASSERT_TRUE(makeFifo(fifo));
    const RunResult refused = runToEnd({pelorinProgram(), "robot.txt"}, run_.folder().path(), 60s,
                                       "", {{"LC_ALL", "C.UTF-8"}, {"RTC_MANAGER_CONFIG", fifo}});
    ASSERT_TRUE(refused.finished);
    EXPECT_EQ(refused.exitCode, 1);
    EXPECT_EQ(refused.out, "RTM起動\nrtc.conf[" + fifo +
                               "]は通常のファイルではありません\nプログラム起動に失敗");
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

// A start that waits for ever (a naming service that takes the connection and never answers)
// still ends on SIGTERM.
TEST_F(StartFailureTest, SigtermEndsAStartThatWaitsForEver) {
    ListeningSocket silent;
    ASSERT_TRUE(silent.ok());
    run_.folder().write("rtc.conf",
                        "corba.nameservers: 127.0.0.1:" + std::to_string(silent.port()) +
                            "\ncorba.args: -ORBclientCallTimeOutPeriod 0\n");
    Child pelorin({pelorinProgram(), "robot.txt"}, run_.folder().path(),
                  {{"LC_ALL", "C.UTF-8"},
                   {"RTC_MANAGER_CONFIG", run_.folder().file("rtc.conf")},
                   {"DISPLAY", ""}});
    ASSERT_TRUE(silent.acceptWithin(60s)) << pelorin.out() << pelorin.err();
    pelorin.signal(SIGTERM);
    ASSERT_TRUE(pelorin.wait(60s)) << "still running after SIGTERM";
    EXPECT_EQ(pelorin.termSignal(), SIGTERM) << pelorin.out() << pelorin.err();
}

// The framework's options: -f names the rtc.conf (here it gives the naming service), -o sets one
// key over it (here the rate that the component's context runs at).
TEST(FrameworkOptionsTest, DashFNamesTheConfigurationAndDashOSetsTheRate) {
    NamingService naming;
    ASSERT_TRUE(naming.ok()) << naming.error();
    PelorinRun run(naming);
    const std::string conf = readFile(run.folder().file("rtc.conf"));
    run.folder().write("options.conf", conf);
    std::filesystem::remove(run.folder().file("rtc.conf"));
    const std::string problem =
        run.start({"-f", "options.conf", "-o", "exec_cxt.periodic.rate: 200"});
    ASSERT_EQ(problem, "");
    const RunResult profile = run.send({"--profile"});
    ASSERT_EQ(profile.exitCode, 0) << profile.err;
    EXPECT_NE(profile.out.find("owned_context.rate: 200\n"), std::string::npos) << profile.out;
    run.process().signal(SIGTERM);
    EXPECT_TRUE(run.process().wait(60s));
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
        const RunResult result = runToEnd(argv, folder.path(), std::chrono::seconds(30));
        ASSERT_TRUE(result.finished);
        EXPECT_EQ(result.exitCode, c.status) << c.err;
        // A bad command line is followed by the usage text.
        const std::string usage = c.status == 2 ? "Usage: pelorin-send [options] [VALUE...]\n" : "";
        EXPECT_EQ(result.err.substr(0, c.err.size() + usage.size()), c.err + usage);
    }
}

}  // namespace
}  // namespace pelorin::testing
