// Pelorin built against an installed OpenRTM-aist, fed by a sender made with the same framework:
// the framework's own OutPort, preconnected to Pelorin through "rtcname://", moves the robot on
// screen with each subscription type; a payload that announces more values than it carries is
// refused without harm, and later data still arrives.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <fstream>
#include <thread>

#include "tests/component/PelorinRun.h"
#include "tests/support/XvfbDisplay.h"

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

// Bytes of a value in kilobytes from /proc/PID/status ("VmPeak", "VmHWM").
long statusKilobytes(pid_t pid, const std::string& key) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(key + ":", 0) == 0) return std::atol(line.c_str() + key.size() + 1);
    return -1;
}

class OpenRtmEndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ensureXvfbDisplay(&error)) << error;
        ASSERT_TRUE(naming_.ok()) << naming_.error();
        const std::string problem = run_.start();
        ASSERT_EQ(problem, "");
    }

    void TearDown() override {
        if (HasFailure()) {
            ADD_FAILURE() << "pelorin's output:\n" << run_.process().out() << run_.process().err();
            if (sender_)
                ADD_FAILURE() << "the sender's output:\n" << sender_->out() << sender_->err();
        }
    }

    // The sender's next values (or "raw HEX"), replaced at once so it never reads half a file.
    void sendLine(const std::string& line) {
        run_.folder().write("values.next", line + "\n");
        std::rename(run_.folder().file("values.next").c_str(),
                    run_.folder().file("values.txt").c_str());
    }

    // Starts the sender, connected by the framework to Pelorin0.doubleValue with `connector`
    // properties (without the "dataport." prefix, as the preconnect syntax has them).
    void startSender(const std::string& connector) {
        const std::string port = std::to_string(naming_.port());
        run_.folder().write(
            "sender.conf",
            "corba.nameservers: 127.0.0.1:" + port +
                "\n"
                "corba.endpoints: 127.0.0.1:\n"
                "exec_cxt.periodic.rate: 50\n"
                "manager.components.preactivation: PelorinTestSender0\n"
                "manager.components.preconnect: PelorinTestSender0.out?port=rtcname://127.0.0.1:" +
                port + "/" + hostName() + ".host_cxt/Pelorin0.doubleValue&" + connector +
                "\n"
                "logger.enable: YES\n"
                "logger.file_name: ./sender%p.log\n"
                "logger.log_level: WARN\n");
        sender_ = std::make_unique<Child>(
            std::vector<std::string>{TEST_SENDER_PROGRAM, "-f", "sender.conf"},
            run_.folder().path());
    }

    // Ctrl-C: the framework disconnects its ports on the way out.
    void stopSender() {
        sender_->signal(SIGINT);
        EXPECT_TRUE(sender_->wait(kPatience)) << "the sender did not stop";
        sender_.reset();
    }

    // The rest pose as the sender keeps sending it, once the bar is drawn and holds still.
    Picture restPose() {
        return pelorin::testing::restPose([&] { sendLine("0 0"); });
    }

    // Pelorin's port as a tool sees it: its name and its number of connections.
    std::string pelorinPorts() {
        const RunResult profile = run_.send({"--profile"});
        const std::string::size_type at = profile.out.find("\nport: ");
        return at == std::string::npos ? profile.out + profile.err : profile.out.substr(at + 1);
    }

    NamingService naming_;
    PelorinRun run_{naming_, /*preactivate=*/true};
    std::unique_ptr<Child> sender_;
};

TEST_F(OpenRtmEndToEndTest, AFrameworkOutPortMovesTheRobotWithEverySubscriptionType) {
    const char* const connectors[] = {"subscription_type=flush", "subscription_type=new",
                                      "subscription_type=periodic&publisher.push_rate=50"};
    for (const char* connector : connectors) {
        SCOPED_TRACE(connector);
        startSender(connector);
        const Picture rest = restPose();
        EXPECT_EQ(pelorinPorts(), "port: Pelorin0.doubleValue (1 connections)\n");
        sendLine("90 0");
        EXPECT_TRUE(screenBecomes(rest, false)) << "the bar did not turn";
        sendLine("0 0");
        EXPECT_TRUE(screenBecomes(rest, true)) << "the bar did not come back";
        stopSender();
    }
}

TEST_F(OpenRtmEndToEndTest, APayloadAnnouncingMoreValuesThanItHoldsIsRefusedAndDataGoesOn) {
    startSender("subscription_type=flush");
    const Picture rest = restPose();
    sendLine("90 0");
    Picture turned;
    ASSERT_TRUE(screenBecomes(rest, false, &turned));
    const long peakBefore = statusKilobytes(run_.process().pid(), "VmPeak");

    // sec 2, nsec 0, length 0x20000000, padding: 16 bytes for 4 GiB of doubles, sent 50 times
    // a second.
    sendLine("raw 02000000 00000000 00000020 00000000");
    const std::string warning =
        "要素数 536870912 には 4294967312 バイトが必要ですが、"
        "届いたのは 16 バイトです";
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (run_.process().out().find(warning) == std::string::npos &&
           std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(100ms);
    EXPECT_NE(run_.process().out().find(
                  "警告: doubleValue の受信データを破棄しました (接続 PelorinTestSender0.out"),
              std::string::npos)
        << run_.process().out();
    std::this_thread::sleep_for(2s);

    ASSERT_TRUE(run_.process().running());
    EXPECT_LT(statusKilobytes(run_.process().pid(), "VmPeak") - peakBefore, 256 * 1024)
        << "Pelorin reserved memory for the announced values";
    EXPECT_LE(differingPixels(screenshot(), turned), kSame) << "a refused payload moved the bar";

    sendLine("0 0");
    EXPECT_TRUE(screenBecomes(rest, true)) << "data after the refused payloads did not arrive";
}

}  // namespace
}  // namespace pelorin::testing
