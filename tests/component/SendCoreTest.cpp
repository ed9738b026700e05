// pelorin-send's payload encoding, command line and value sources.
#include <gtest/gtest.h>

#include <cmath>

#include "tools/send/CdrEncoding.h"
#include "tools/send/SendOptions.h"
#include "tools/send/ValueSources.h"

namespace pelorin::send {
namespace {

std::string hex(const std::vector<std::uint8_t>& bytes) {
    static const char digits[] = "0123456789abcdef";
    std::string text;
    for (std::uint8_t b : bytes) {
        text += digits[b >> 4];
        text += digits[b & 15];
    }
    return text;
}

// sec, nsec, the count and 4 bytes of padding, then 1.0 and -2.5; an empty sequence has no
// padding.
TEST(CdrEncoding, MatchesTheFrameworkLayoutInBothByteOrders) {
    const std::vector<double> values = {1.0, -2.5};
    EXPECT_EQ(hex(encodeTimedDoubleSeq(1, 2, values, ByteOrder::Little)),
              "01000000020000000200000000000000000000000000f03f00000000000004c0");
    EXPECT_EQ(hex(encodeTimedDoubleSeq(1, 2, values, ByteOrder::Big)),
              "000000010000000200000002000000003ff0000000000000c004000000000000");
    EXPECT_EQ(encodeTimedDoubleSeq(5, 6, {}, ByteOrder::Little).size(), 12u);
}

struct ParseOutcome {
    bool ok;
    SendOptions options;
    std::string error;
};

ParseOutcome parse(std::vector<const char*> args) {
    args.insert(args.begin(), "pelorin-send");
    ParseOutcome outcome;
    outcome.ok = parseSendOptions(static_cast<int>(args.size()), args.data(), outcome.options,
                                  outcome.error);
    return outcome;
}

// --rate, --duration, --count and -p are used by the end-to-end sweep; here the centres.
TEST(SendOptions, SweepCentres) {
    const ParseOutcome o = parse({"--sweep", "--amplitude", "30", "--centre", "0,20,-60"});
    ASSERT_TRUE(o.ok) << o.error;
    EXPECT_EQ(o.options.mode, SendMode::Sweep);
    EXPECT_EQ(o.options.centres, (std::vector<double>{0, 20, -60}));
}

TEST(SendOptions, BadCommandLinesNameTheArgument) {
    EXPECT_EQ(parse({}).error, "nothing to send (give values, --sweep or --stdin)");
    EXPECT_EQ(parse({"--rate"}).error, "missing argument after --rate");
    EXPECT_EQ(parse({"--sweep", "--rate", "fast"}).error, "not a number: fast");
    EXPECT_EQ(parse({"--sweep", "--rate", "0"}).error, "value out of range for --rate: 0");
    EXPECT_EQ(parse({"--byte-order", "middle", "1"}).error,
              "byte order must be little or big: middle");
    EXPECT_EQ(parse({"1", "x"}).error, "not a number: x");
    EXPECT_EQ(parse({"--sweep", "1"}).error,
              "choose one of VALUE..., --sweep, --stdin, --state, --profile, --exit");
    EXPECT_EQ(parse({"-p", "70000", "1"}).error, "value out of range for -p");
    EXPECT_EQ(parse({"1", "nan"}).error, "not a number: nan");
    EXPECT_EQ(parse({"--sweep", "--centre", "1,x"}).error,
              "--centre takes numbers separated by commas: 1,x");
    // Connection settings that cannot work.
    EXPECT_EQ(parse({"--port", "2809", "1"}).error,
              "--port takes the in-port's name (the naming service's port is -p): 2809");
    EXPECT_EQ(parse({"--connector-prop", "=x", "1"}).error, "--connector-prop takes KEY=VALUE: =x");
    EXPECT_EQ(parse({"--connector-prop", "dataport.interface_type=shared_memory", "1"}).error,
              "only corba_cdr push connections are made: dataport.interface_type=shared_memory");
    EXPECT_EQ(parse({"--connector-prop", "dataport.serializer.cdr.endian=big", "1"}).error,
              "the payload's byte order is chosen with --byte-order: "
              "dataport.serializer.cdr.endian=big");
    EXPECT_EQ(parse({"--connector-prop", "dataport.corba_cdr.inport_ior=IOR:00", "1"}).error,
              "the in-port publishes this itself: dataport.corba_cdr.inport_ior=IOR:00");
    EXPECT_EQ(parse({"--linger", "1e9", "1"}).error, "value out of range for --linger: 1e9");
    EXPECT_EQ(parse({"--endpoint", "a b", "1"}).error, "--endpoint takes HOST or HOST:PORT: a b");
}

TEST(SendOptions, InPortConnectorPropertiesAndLinger) {
    const ParseOutcome o =
        parse({"--port", "DoubleSeq", "--connector-prop", "dataport.subscription_type=new",
               "--connector-prop", "dataport.buffer.length=", "--linger", "0", "-p", "2810", "1"});
    ASSERT_TRUE(o.ok) << o.error;
    EXPECT_EQ(o.options.portName, "DoubleSeq");
    EXPECT_EQ(o.options.namingPort, 2810);
    EXPECT_EQ(o.options.linger, 0);
    // The caller's properties replace the defaults of the same name, in the order given.
    EXPECT_EQ(connectorProperties(ByteOrder::Big, o.options.connectorProperties),
              (PropertyList{{"dataport.interface_type", "corba_cdr"},
                            {"dataport.dataflow_type", "push"},
                            {"dataport.subscription_type", "new"},
                            {"dataport.data_type", "IDL:RTC/TimedDoubleSeq:1.0"},
                            {"dataport.serializer.cdr.endian", "big"},
                            {"dataport.buffer.length", ""}}));
    EXPECT_TRUE(parse({"--connector-prop", "dataport.dataflow_type= Push", "1"}).ok);
}

TEST(ValueSources, NumberLinesAcceptBlanksCommasAndCrlf) {
    std::vector<double> values;
    std::string bad;
    ASSERT_TRUE(parseNumberLine(" 1,\t-2.5  3e1\r", values, bad));
    EXPECT_EQ(values, (std::vector<double>{1, -2.5, 30}));
    ASSERT_TRUE(parseNumberLine("   ", values, bad));
    EXPECT_TRUE(values.empty());
    EXPECT_FALSE(parseNumberLine("inf", values, bad));
}

TEST(ValueSources, SweepStaysWithinTheAmplitudeAndRepeatsEachPeriod) {
    for (double t = 0; t < 8; t += 0.37) {
        const std::vector<double> now = sweepValues(t, 5, 45, 4);
        const std::vector<double> later = sweepValues(t + 4, 5, 45, 4);
        ASSERT_EQ(now.size(), 5u);
        for (std::size_t i = 0; i < now.size(); ++i) {
            EXPECT_LE(std::fabs(now[i]), 45 + 1e-9);
            EXPECT_NEAR(now[i], later[i], 1e-9);
        }
    }
    EXPECT_NEAR(sweepValues(0, 1, 45, 4)[0], 0, 1e-12);
    EXPECT_NEAR(sweepValues(1, 1, 45, 4)[0], 45, 1e-9);
}

}  // namespace
}  // namespace pelorin::send
