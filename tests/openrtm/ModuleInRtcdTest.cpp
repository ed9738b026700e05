// Pelorin as a loadable module in the framework's own component daemon: rtcd2 preloads
// Pelorin.so and creates the component from its rtc.conf, which also names the setting file. A
// framework OutPort then moves the robot, and closing the window ends the component alone.
#include <gtest/gtest.h>

#include <signal.h>

#include <cstdio>
#include <thread>

#include "tests/component/PelorinRun.h"
#include "tests/support/XvfbDisplay.h"

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

class ModuleInRtcdTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ensureXvfbDisplay(&error)) << error;
        ASSERT_TRUE(naming_.ok()) << naming_.error();
        writeBarRobot(folder_);
        folder_.write("broken.txt", "BEGIN PARTS = ROOT\nNOT A LINE\n");
    }

    // Starts rtcd2 with Pelorin and the framework sender connected to it as modules; a second
    // Pelorin is asked for too, which the one window per process refuses.
    void startDaemon(const std::string& settingFile) {
        folder_.write("rtcd.conf",
                      "corba.nameservers: " + naming_.address() +
                          "\n"
                          "corba.endpoints: 127.0.0.1:\n"
                          "naming.formats: %h.host_cxt/%n.rtc\n"
                          "exec_cxt.periodic.rate: 100\n"
                          "manager.modules.load_path: " PELORIN_MODULE_DIR
                          ", " TEST_SENDER_MODULE_DIR
                          "\n"
                          "manager.modules.preload: Pelorin.so, PelorinTestSender.so\n"
                          "manager.components.precreate: Pelorin, PelorinTestSender, Pelorin\n"
                          "manager.components.preactivation: Pelorin0, PelorinTestSender0\n"
                          "manager.components.preconnect: PelorinTestSender0.out?port="
                          "Pelorin0.doubleValue\n"
                          "Viewer.Pelorin.conf.default.setting_file: " +
                          settingFile +
                          "\n"
                          "logger.enable: NO\n");
        std::map<std::string, std::string> env = pelorinEnvironment("");
        env.erase("RTC_MANAGER_CONFIG");
        env["LD_LIBRARY_PATH"] = PELORIN_OPENRTM_LIBRARY_DIR;
        rtcd_ = std::make_unique<Child>(std::vector<std::string>{RTCD_PROGRAM, "-f", "rtcd.conf"},
                                        folder_.path(), env);
    }

    void stopDaemon() {
        rtcd_->signal(SIGINT);
        EXPECT_TRUE(rtcd_->wait(kPatience)) << "rtcd2 did not end on SIGINT";
    }

    void TearDown() override {
        if (HasFailure() && rtcd_) {
            ADD_FAILURE() << "rtcd2's output:\n" << rtcd_->out() << rtcd_->err();
        }
    }

    RunResult send(const std::vector<std::string>& args) const {
        std::vector<std::string> argv{sendProgram(), "-p", std::to_string(naming_.port())};
        argv.insert(argv.end(), args.begin(), args.end());
        return runToEnd(argv, folder_.path(), kPatience);
    }

    // Waits until `pelorin-send -n NAME --state` prints `state` (for "", until it fails).
    bool waitForState(const std::string& state, const std::string& name = "Pelorin0") const {
        const std::string path = hostName() + ".host_cxt/" + name + ".rtc";
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < end) {
            const RunResult result = send({"-n", path, "--state"});
            const bool answered = result.exitCode == 0;
            if (state.empty() ? !answered : result.out.find(state) != std::string::npos)
                return true;
            std::this_thread::sleep_for(200ms);
        }
        return false;
    }

    void sendLine(const std::string& line) {
        folder_.write("values.next", line + "\n");
        std::rename(folder_.file("values.next").c_str(), folder_.file("values.txt").c_str());
    }

    NamingService naming_;
    TempDir folder_;
    std::unique_ptr<Child> rtcd_;
};

TEST_F(ModuleInRtcdTest, AFrameworkOutPortMovesTheRobotAndClosingTheWindowEndsOnlyPelorin) {
    startDaemon("robot.txt");
    ASSERT_TRUE(waitForState("ACTIVE")) << "Pelorin0 did not come up in rtcd2";
    const Picture rest = restPose([&] { sendLine("0 0"); });
    sendLine("90 0");
    EXPECT_TRUE(screenBecomes(rest, false)) << "the bar did not turn";
    EXPECT_NE(rtcd_->out().find("Pelorin のウィンドウは 1 プロセスに 1 つです"), std::string::npos);
    EXPECT_TRUE(waitForState("", "Pelorin1")) << "a second Pelorin came up";

    std::string error;
    ASSERT_TRUE(closeWindowTitled("Pelorin RTC", error)) << error;
    EXPECT_TRUE(waitForState("")) << "Pelorin0 still answers after its window closed";
    EXPECT_TRUE(rtcd_->running()) << "closing the window ended the manager";
    EXPECT_TRUE(waitForState("ACTIVE", "PelorinTestSender0"))
        << "closing the window ended the other component";
    stopDaemon();
}

// A tool that ends Pelorin there takes its window away too; the daemon and the sender run on.
TEST_F(ModuleInRtcdTest, EndingPelorinWithAToolClosesItsWindowAndLeavesTheDaemon) {
    startDaemon("robot.txt");
    ASSERT_TRUE(waitForState("ACTIVE")) << "Pelorin0 did not come up in rtcd2";
    restPose([&] { sendLine("0 0"); });
    ASSERT_TRUE(windowTitledExists("Pelorin RTC"));
    send({"-n", hostName() + ".host_cxt/Pelorin0.rtc", "--exit"});
    EXPECT_TRUE(waitForState("")) << "Pelorin0 still answers after exit";
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (windowTitledExists("Pelorin RTC") && std::chrono::steady_clock::now() < end)
        std::this_thread::sleep_for(100ms);
    EXPECT_FALSE(windowTitledExists("Pelorin RTC")) << "the window outlived its component";
    EXPECT_TRUE(waitForState("ACTIVE", "PelorinTestSender0"));
    EXPECT_TRUE(rtcd_->running());
    stopDaemon();
}

// A setting file that does not read fails Pelorin alone: the daemon and its other components
// run on.
TEST_F(ModuleInRtcdTest, ASettingFileThatDoesNotReadFailsPelorinAloneInTheDaemon) {
    startDaemon("broken.txt");
    ASSERT_TRUE(waitForState("ACTIVE", "PelorinTestSender0")) << "the sender did not come up";
    EXPECT_TRUE(rtcd_->running());
    EXPECT_TRUE(waitForState("")) << "a Pelorin without a model came up";
    EXPECT_NE(rtcd_->out().find("設定ファイルの構文解析に失敗"), std::string::npos);
    stopDaemon();
}

}  // namespace
}  // namespace pelorin::testing
