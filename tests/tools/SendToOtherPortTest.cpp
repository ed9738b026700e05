// pelorin-send driving a component other than Pelorin: seq-sink, whose TimedDoubleSeq in-port
// is "DoubleSeq" as in the framework's SeqIn example, running slowly (4 Hz) so that a sequence
// waits for a while before it is read.
#include <gtest/gtest.h>

#include <thread>

#include "tests/component/PelorinRun.h"

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

std::string sinkName() {
    return hostName() + ".host_cxt/SeqSink0.rtc";
}

class SendToOtherPortTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(naming_.ok()) << naming_.error();
        folder_.write("rtc.conf", "corba.nameservers: 127.0.0.1:" + std::to_string(naming_.port()) +
                                      "\n"
                                      "corba.endpoints: 127.0.0.1:\n"
                                      "exec_cxt.periodic.rate: 4\n"
                                      "manager.components.preactivation: SeqSink0\n"
                                      "logger.enable: NO\n");
        sink_ = std::make_unique<Child>(
            std::vector<std::string>{SEQ_SINK_PROGRAM}, folder_.path(),
            std::map<std::string, std::string>{{"RTC_MANAGER_CONFIG", folder_.file("rtc.conf")}});
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (send({"--state"}).out != "ACTIVE\n") {
            ASSERT_TRUE(sink_->running()) << sink_->err();
            ASSERT_LT(std::chrono::steady_clock::now(), end) << "seq-sink did not come up";
            std::this_thread::sleep_for(100ms);
        }
    }

    void TearDown() override {
        if (HasFailure()) ADD_FAILURE() << "seq-sink printed:\n" << sink_->out() << sink_->err();
    }

    RunResult send(const std::vector<std::string>& args, const std::string& input = "") {
        std::vector<std::string> argv = {sendProgram(), "-p", std::to_string(naming_.port()), "-n",
                                         sinkName()};
        argv.insert(argv.end(), args.begin(), args.end());
        return runToEnd(argv, folder_.path(), kPatience, input);
    }

    // The sink's line for `values`, or what it printed when that line never came.
    std::string lineFor(const std::string& values) {
        const std::string head = "DoubleSeq " + values + " |";
        const auto end = std::chrono::steady_clock::now() + kPatience;
        while (std::chrono::steady_clock::now() < end) {
            const std::string out = sink_->out();
            const std::string::size_type at = out.find(head);
            if (at != std::string::npos) return out.substr(at, out.find('\n', at) - at);
            std::this_thread::sleep_for(50ms);
        }
        return "(no line for " + values + ")";
    }

    NamingService naming_;
    TempDir folder_;
    std::unique_ptr<Child> sink_;
};

// The sender stays connected until the sink's next read (a framework in-port reads only while
// connected), for one-shot values and the end of a stream alike.
TEST_F(SendToOtherPortTest, ValuesReachTheNamedPortWithTheGivenPropertiesBeforeDisconnecting) {
    const RunResult oneShot =
        send({"--port", "DoubleSeq", "--connector-prop", "dataport.subscription_type=new",
              "--connector-prop", "dataport.inport.buffer.length=1", "1", "-2.5", "3"});
    EXPECT_EQ(oneShot.exitCode, 0) << oneShot.err;
    const std::string line = lineFor("1 -2.5 3");
    EXPECT_NE(line.find("| connections 1 |"), std::string::npos) << line;
    EXPECT_NE(line.find("| dataport.subscription_type=new |"), std::string::npos) << line;
    EXPECT_NE(line.find("| dataport.inport.buffer.length=1"), std::string::npos) << line;
    EXPECT_NE(line.find("| dataport.data_type=IDL:RTC/TimedDoubleSeq:1.0"), std::string::npos)
        << line;

    const RunResult stream = send({"--port", "SeqSink0.DoubleSeq", "--stdin"}, "4 5\n6\n");
    EXPECT_EQ(stream.exitCode, 0) << stream.err;
    EXPECT_NE(lineFor("6").find("| connections 1 |"), std::string::npos) << lineFor("6");
}

TEST_F(SendToOtherPortTest, PortsThatDoNotTakeDoubleSequencesAreNamedAndLeftAlone) {
    const struct {
        std::vector<std::string> args;
        std::string err;
    } cases[] = {
        {{"--port", "Double", "1"},
         "pelorin-send: not an in-port of RTC::TimedDoubleSeq: SeqSink0.Double "
         "(IDL:RTC/TimedDouble:1.0)\n"},
        {{"1"},
         "pelorin-send: the component has no port named doubleValue (its ports: "
         "SeqSink0.DoubleSeq, SeqSink0.Double)\n"},
    };
    for (const auto& c : cases) {
        const RunResult result = send(c.args);
        EXPECT_EQ(result.exitCode, 1);
        EXPECT_EQ(result.err, c.err);
    }
    EXPECT_EQ(send({"--profile"}).out.find("(1 connections)"), std::string::npos);
}

}  // namespace
}  // namespace pelorin::testing
