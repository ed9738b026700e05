// Pelorin across machines: three hosts, each a network namespace of the test's own.
//
//              names (omniNames on 2809)
//     192.0.2.1 /            \ 198.51.100.1
//     192.0.2.2 /            \ 198.51.100.3
//        viewer ------------- sender
//       (Pelorin) 203.0.113.2  203.0.113.3 (pelorin-send)
//
// No host forwards, so the viewer's 192.0.2.2 cannot be reached from the sender, nor the
// sender's 198.51.100.3 from the viewer: what each side publishes in its references decides
// whether the other reaches it. The addresses are from the documentation ranges and exist only
// inside these namespaces.
#include <gtest/gtest.h>

#include <signal.h>

#include <regex>
#include <thread>

#include "tests/component/PelorinRun.h"
#include "tests/support/XvfbDisplay.h"
#include "tests/tools/TestNetwork.h"

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

const char* const kNamesFromSender = "198.51.100.1";

class AcrossHostsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (!network_.unavailable().empty()) GTEST_SKIP() << network_.unavailable();
        std::string error;
        ASSERT_TRUE(ensureXvfbDisplay(&error)) << error;
        names_ = network_.addHost(error);
        viewer_ = network_.addHost(error);
        sender_ = network_.addHost(error);
        ASSERT_GE(sender_, 0) << error;
        ASSERT_TRUE(network_.link(names_, "viewer", "192.0.2.1/24", viewer_, "names",
                                  "192.0.2.2/24", error))
            << error;
        ASSERT_TRUE(network_.link(names_, "sender", "198.51.100.1/24", sender_, "names",
                                  "198.51.100.3/24", error))
            << error;
        ASSERT_TRUE(network_.link(viewer_, "sender", "203.0.113.2/24", sender_, "viewer",
                                  "203.0.113.3/24", error))
            << error;
        // On every address of its host; contexts it hands out carry all of them.
        omniNames_ = std::make_unique<Child>(
            network_.on(names_,
                        {"omniNames", "-start", "2809", "-datadir", namesData_.path(),
                         "-ORBendPoint", "giop:tcp::2809", "-ORBendPointPublish", "all(addr)"}),
            namesData_.path());
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (send({"-n", "nobody.host_cxt/Nobody0.rtc", "--state"}).err.find("no such name") ==
               std::string::npos) {
            ASSERT_TRUE(omniNames_->running()) << omniNames_->err();
            ASSERT_LT(std::chrono::steady_clock::now(), end) << "omniNames does not answer";
            std::this_thread::sleep_for(100ms);
        }
        writeBarRobot(viewerFolder_);
    }

    void TearDown() override {
        if (HasFailure() && pelorin_ != nullptr)
            ADD_FAILURE() << "pelorin's output:\n" << pelorin_->out() << pelorin_->err();
    }

    // Starts Pelorin on the viewer host, registered with the naming service of the names host
    // at its standard port and publishing `endpoint`.
    void startPelorin(const std::string& endpoint) {
        viewerFolder_.write("rtc.conf",
                            "corba.nameservers: 192.0.2.1\n"
                            "corba.endpoints: " +
                                endpoint +
                                "\n"
                                "exec_cxt.periodic.rate: 100\n"
                                "manager.components.preactivation: Pelorin0\n"
                                "logger.enable: NO\n");
        pelorin_ = std::make_unique<Child>(network_.on(viewer_, {pelorinProgram(), "robot.txt"}),
                                           viewerFolder_.path(),
                                           pelorinEnvironment(viewerFolder_.file("rtc.conf")));
        // The name appears once Pelorin has reached the names host.
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (send({"--state"}).err.find("no such name") != std::string::npos) {
            ASSERT_TRUE(pelorin_->running()) << pelorin_->out() << pelorin_->err();
            ASSERT_LT(std::chrono::steady_clock::now(), end) << "Pelorin's name did not appear";
            std::this_thread::sleep_for(100ms);
        }
    }

    // pelorin-send on the sender host, through the names host's address on its side.
    RunResult send(const std::vector<std::string>& args) {
        std::vector<std::string> argv = {sendProgram(), "-H", kNamesFromSender};
        argv.insert(argv.end(), args.begin(), args.end());
        return runToEnd(network_.on(sender_, argv), senderFolder_.path(), kPatience);
    }

    TestNetwork network_;
    int names_ = -1;
    int viewer_ = -1;
    int sender_ = -1;
    TempDir namesData_;
    TempDir viewerFolder_;
    TempDir senderFolder_;
    std::unique_ptr<Child> omniNames_;
    std::unique_ptr<Child> pelorin_;
};

// The viewer has two addresses and is told to publish the one the sender reaches; the sender,
// on two networks as well, publishes both of its own and the viewer calls back the one it
// reaches.
TEST_F(AcrossHostsTest, TheSenderMovesTheRobotThroughTheNamingServiceOfAThirdHost) {
    startPelorin("203.0.113.2:");
    const Picture rest = restPose([&] {
        const RunResult result = send({"0", "0"});
        ASSERT_EQ(result.exitCode, 0) << result.err;
    });
    const RunResult result = send({"90", "0"});
    ASSERT_EQ(result.exitCode, 0) << result.err;
    EXPECT_TRUE(screenBecomes(rest, false)) << "the bar did not turn on screen";
}

// Each side names the address it could not reach, which is what a user must fix; the viewer's
// reference carries the one address it was told to publish and no other.
TEST_F(AcrossHostsTest, AddressesThePeerCannotReachAreNamed) {
    startPelorin("192.0.2.2:");
    RunResult result = send({"--state"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(std::regex_search(
        result.err, std::regex("^pelorin-send: no answer from the component at 192\\.0\\.2\\.2:"
                               "[0-9]+, the address in its reference: ")))
        << result.err;
    pelorin_->signal(SIGTERM);
    ASSERT_TRUE(pelorin_->wait(kPatience));

    startPelorin("203.0.113.2:");
    result = send({"--endpoint", "198.51.100.3", "1", "2"});
    EXPECT_EQ(result.exitCode, 1);
    EXPECT_TRUE(std::regex_search(
        result.err, std::regex("^pelorin-send: the component did not call back this program at "
                               "198\\.51\\.100\\.3:[0-9]+: give an address")))
        << result.err;
}

}  // namespace
}  // namespace pelorin::testing
