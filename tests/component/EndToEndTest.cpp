// Pelorin end to end: the real program on a private X display and naming service, driven by
// pelorin-send over CORBA, checked by what the window shows and what the framework reports.
#include <gtest/gtest.h>

#include <signal.h>

#include <thread>

#include "tests/component/PelorinRun.h"
#include "tests/support/XvfbDisplay.h"

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

const char* const kShortWarning =
    "警告: doubleValue の受信データの要素数 1 が設定ファイルの要素数 2 より少ないため、"
    "このデータは適用しません\n";

// Where the framework binds the component by default: "<node name>.host_cxt/Pelorin0.rtc".
std::string hostComponentName() {
    return hostName() + ".host_cxt/Pelorin0.rtc";
}

class EndToEndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        std::string error;
        ASSERT_TRUE(ensureXvfbDisplay(&error)) << error;
        ASSERT_TRUE(naming_.ok()) << naming_.error();
    }

    // What Pelorin said, when something went wrong: a crash or a sanitizer report shows here.
    void TearDown() override {
        if (HasFailure() && started_)
            ADD_FAILURE() << "pelorin's output:\n"
                          << run_.process().out() << "\npelorin's errors:\n"
                          << run_.process().err();
    }

    void startPelorin() {
        started_ = true;
        const std::string problem = run_.start();
        ASSERT_EQ(problem, "");
    }

    void sendOk(const std::vector<std::string>& args) {
        const RunResult result = run_.send(args);
        ASSERT_EQ(result.exitCode, 0) << result.err;
        ASSERT_EQ(result.err, "");
    }

    bool outputContains(const std::string& text) {
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < end) {
            if (run_.process().out().find(text) != std::string::npos) return true;
            std::this_thread::sleep_for(50ms);
        }
        return false;
    }

    // The rest pose, once it is on screen: the red bar is drawn and two pictures agree (the
    // window may still be appearing, or its first frame on the way).
    Picture restPose() {
        return pelorin::testing::restPose([&] { sendOk({"0", "0"}); });
    }

    bool endsWithZero() {
        if (!run_.process().wait(kPatience)) return false;
        return run_.process().exitCode() == 0;
    }

    NamingService naming_;
    PelorinRun run_{naming_};
    bool started_ = false;
};

// Both values of a big-endian payload move the bar, and the little-endian one of the same
// values gives the same pose; a sequence shorter than the table is refused with a warning.
TEST_F(EndToEndTest, TheToolActivatesTheComponentAndValuesOfEitherByteOrderAndLengthMoveTheMesh) {
    startPelorin();
    EXPECT_EQ(run_.state(), "INACTIVE\n");
    sendOk({"--activate"});
    EXPECT_EQ(run_.state(), "ACTIVE\n");

    const Picture rest = restPose();
    sendOk({"--byte-order", "big", "60", "100"});
    Picture turned;
    ASSERT_TRUE(screenBecomes(rest, false, &turned)) << "the bar did not turn on screen";
    sendOk({"0", "0"});
    EXPECT_TRUE(screenBecomes(rest, true)) << "the bar did not come back";
    sendOk({"--byte-order", "little", "60", "100"});
    EXPECT_TRUE(screenBecomes(turned, true)) << "the two byte orders gave different poses";

    // A short sequence is refused with a warning (longer ones: ValueHandOverTest), and the
    // component goes on.
    sendOk({"90"});
    ASSERT_TRUE(outputContains(kShortWarning)) << run_.process().out();
    EXPECT_LE(differingPixels(screenshot(), turned), kSame) << "a short sequence moved the bar";
    EXPECT_EQ(run_.state(), "ACTIVE\n");
    sendOk({"0", "0"});
    EXPECT_TRUE(screenBecomes(rest, true)) << "values after a short sequence were not applied";
}

TEST_F(EndToEndTest, TheProfileCarriesTheComponentDescriptionAndTheConfiguredRate) {
    startPelorin();
    const RunResult profile = run_.send({"--profile"});
    ASSERT_EQ(profile.exitCode, 0) << profile.err;
    const char* const expected[] = {
        "instance_name: Pelorin0\n", "implementation_id: Pelorin\n", "type_name: Pelorin\n",
        "description: Robot model viewer: draws a robot from a setting file and poses it from "
        "TimedDoubleSeq values\n",
        "version: 1.0.0\n", "vendor: Tarnwell\n", "category: Viewer\n", "activity_type: PERIODIC\n",
        "kind: DataFlowComponent\n", "max_instance: 1\n", "language: C++\n", "lang_type: compile\n",
        // rtc.conf's rate replaces the profile's 1.0.
        "exec_cxt.periodic.rate: 100\n"};
    for (const char* line : expected)
        EXPECT_NE(profile.out.find(line), std::string::npos) << line << "in:\n" << profile.out;

    // The same component through a reference given on the command line.
    const std::string reference =
        "corbaname::127.0.0.1:" + std::to_string(naming_.port()) + "#" + hostComponentName();
    const RunResult byReference = run_.send({"-i", reference, "--profile"});
    EXPECT_EQ(byReference.exitCode, 0) << byReference.err;
    EXPECT_EQ(byReference.out, profile.out);
}

// A sweep and standard input reach the screen; every sender disconnects, an endless sweep
// stopped by Ctrl-C too, and only the double port is offered.
TEST_F(EndToEndTest, SweepAndStandardInputReachTheScreenAndEverySenderDisconnects) {
    startPelorin();
    sendOk({"--activate"});
    const Picture rest = restPose();
    sendOk({"--sweep", "--count", "2", "--rate", "50", "--duration", "0.5", "--period", "2"});
    EXPECT_TRUE(screenBecomes(rest, false)) << "the sweep left the bar at rest";
    const RunResult lines = run_.send({"--stdin"}, "45 0\nnot numbers\n0,0\n");
    EXPECT_EQ(lines.exitCode, 0);
    EXPECT_EQ(lines.err, "pelorin-send: standard input line 2: not a number: not, line skipped\n");
    EXPECT_TRUE(screenBecomes(rest, true)) << "the last line did not bring the bar back";

    Child sweep({sendProgram(), "-p", std::to_string(naming_.port()), "--sweep", "--duration", "0"},
                run_.folder().path());
    bool connected = false;
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!connected && sweep.running() && std::chrono::steady_clock::now() < end) {
        connected = run_.send({"--profile"}).out.find("(1 connections)") != std::string::npos;
        if (!connected) std::this_thread::sleep_for(50ms);
    }
    ASSERT_TRUE(connected) << sweep.err();
    sweep.signal(SIGINT);
    ASSERT_TRUE(sweep.wait(kPatience));
    EXPECT_EQ(sweep.exitCode(), 0) << sweep.err();
    const RunResult profile = run_.send({"--profile"});
    ASSERT_EQ(profile.exitCode, 0) << profile.err;
    const std::string ports = profile.out.substr(profile.out.find("\nport: ") + 1);
    EXPECT_EQ(ports, "port: Pelorin0.doubleValue (0 connections)\n");
}

// SIGINT, SIGTERM, the window's close box and a tool's exit each end Pelorin with status 0, and
// its name is gone from the naming service.
TEST_F(EndToEndTest, EveryWayOfStoppingEndsWithZeroAndUnbindsTheName) {
    for (const std::string way : {"SIGINT", "SIGTERM", "close", "exit"}) {
        startPelorin();
        sendOk({"--activate"});
        restPose();  // the window is up and drawing
        std::string error;
        if (way == "close") {
            ASSERT_TRUE(closeWindowTitled("Pelorin RTC", error)) << error;
        } else if (way == "exit") {
            sendOk({"--exit"});
        } else {
            run_.process().signal(way == "SIGINT" ? SIGINT : SIGTERM);
        }
        EXPECT_TRUE(endsWithZero()) << way << ": status " << run_.process().exitCode()
                                    << ", ended by signal " << run_.process().termSignal();
        EXPECT_NE(run_.state().find("no such name in the naming service"), std::string::npos)
            << way;
    }
}

}  // namespace
}  // namespace pelorin::testing
