// Decoding of received samples and the in-port buffer fed by it.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "rtcrt/CdrDecoder.h"
#include "rtcrt/InPortCdrEndpoint.h"
#include "rtm/InPort.h"
#include "util/RefusalLog.h"

namespace {

using Bytes = std::vector<unsigned char>;

// {tm={1,2}, data=[1.0, -2.5]} as an OpenRTM OutPort serialises it.
const Bytes kLittle = {0x01, 0, 0, 0, 0x02, 0, 0,    0,    0x02, 0, 0, 0, 0, 0, 0,    0,
                       0,    0, 0, 0, 0,    0, 0xf0, 0x3f, 0,    0, 0, 0, 0, 0, 0x04, 0xc0};
const Bytes kBig = {0,    0,    0, 0x01, 0, 0, 0, 0x02, 0,    0,    0, 0x02, 0, 0, 0, 0,
                    0x3f, 0xf0, 0, 0,    0, 0, 0, 0,    0xc0, 0x04, 0, 0,    0, 0, 0, 0};

OpenRTM::CdrData toCdr(const Bytes& bytes) {
    OpenRTM::CdrData data;
    data.length(static_cast<CORBA::ULong>(bytes.size()));
    for (size_t i = 0; i < bytes.size(); ++i) data[static_cast<CORBA::ULong>(i)] = bytes[i];
    return data;
}

void expectSample(const RTC::TimedDoubleSeq& value) {
    EXPECT_EQ(value.tm.sec, 1u);
    EXPECT_EQ(value.tm.nsec, 2u);
    ASSERT_EQ(value.data.length(), 2u);
    EXPECT_DOUBLE_EQ(value.data[0], 1.0);
    EXPECT_DOUBLE_EQ(value.data[1], -2.5);
}

TEST(CdrDecodeTest, BothByteOrdersEmptySequencesAndBooleans) {
    RTC::TimedDoubleSeq little;
    ASSERT_TRUE(pelorin::rtcrt::decodeCdr(kLittle.data(), kLittle.size(), true, little));
    expectSample(little);
    RTC::TimedDoubleSeq big;
    ASSERT_TRUE(pelorin::rtcrt::decodeCdr(kBig.data(), kBig.size(), false, big));
    expectSample(big);

    // An empty sequence has no padding; booleans are single bytes.
    const Bytes empty = {5, 0, 0, 0, 6, 0, 0, 0, 0, 0, 0, 0};
    RTC::TimedDoubleSeq value;
    ASSERT_TRUE(pelorin::rtcrt::decodeCdr(empty.data(), empty.size(), true, value));
    EXPECT_EQ(value.tm.sec, 5u);
    EXPECT_EQ(value.data.length(), 0u);

    const Bytes booleans = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 1, 0, 1};
    RTC::TimedBooleanSeq flags;
    ASSERT_TRUE(pelorin::rtcrt::decodeCdr(booleans.data(), booleans.size(), true, flags));
    ASSERT_EQ(flags.data.length(), 3u);
    EXPECT_TRUE(flags.data[0]);
    EXPECT_FALSE(flags.data[1]);
}

using pelorin::rtcrt::CdrFault;

CdrFault faultOf(const Bytes& bytes, bool little, std::size_t size = SIZE_MAX) {
    RTC::TimedDoubleSeq value;
    CdrFault fault = CdrFault::None;
    pelorin::rtcrt::decodeCdr(bytes.data(), std::min(size, bytes.size()), little, value, &fault);
    return fault;
}

TEST(CdrDecodeTest, RefusesShortAndAbsurdPayloadsAndLengthsThatWrapIn32Bits) {
    EXPECT_EQ(faultOf(kLittle, true, kLittle.size() - 1), CdrFault::LengthBeyondPayload);
    EXPECT_EQ(faultOf(kLittle, true, 6), CdrFault::LengthBeyondPayload);
    EXPECT_EQ(faultOf(kLittle, true, 0), CdrFault::LengthBeyondPayload);
    // Little-endian bytes read as big-endian announce 0x02000000 elements.
    EXPECT_EQ(faultOf(kLittle, false), CdrFault::LengthBeyondPayload);
    EXPECT_EQ(faultOf(Bytes(pelorin::rtcrt::kMaxCdrPayloadBytes + 1, 0), true),
              CdrFault::Oversized);
    // Types without a block of fixed-size elements rely on the stream's own checks.
    const Bytes shortBooleans = {1, 0, 0, 0, 2, 0, 0, 0, 3, 0, 0, 0, 1};
    RTC::TimedBooleanSeq flags;
    CdrFault fault = CdrFault::None;
    EXPECT_FALSE(
        pelorin::rtcrt::decodeCdr(shortBooleans.data(), shortBooleans.size(), true, flags, &fault));
    EXPECT_EQ(fault, CdrFault::Malformed);

    // Lengths whose size in bytes wraps around in 32 bits (0x20000000 and 0x60000000 doubles are
    // 4 and 12 GiB) announced in 16 bytes, in both byte orders: refused before any allocation.
    const Bytes little = {0x02, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0, 0};
    const Bytes big = {0, 0, 0, 0x02, 0, 0, 0, 0, 0x20, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(faultOf(little, true), CdrFault::LengthBeyondPayload);
    EXPECT_EQ(faultOf(big, false), CdrFault::LengthBeyondPayload);
    Bytes thrice = little;
    thrice[11] = 0x60;
    EXPECT_EQ(faultOf(thrice, true), CdrFault::LengthBeyondPayload);
    // 0x7fffffff doubles with two behind them.
    Bytes huge = kLittle;
    huge[8] = 0xff, huge[9] = 0xff, huge[10] = 0xff, huge[11] = 0x7f;
    EXPECT_EQ(faultOf(huge, true), CdrFault::LengthBeyondPayload);
    // Trailing bytes after the announced elements are allowed.
    Bytes padded = kLittle;
    padded.resize(padded.size() + 8, 0);
    EXPECT_EQ(faultOf(padded, true), CdrFault::None);

    RTC::TimedDoubleSeq bound;
    RTC::InPort<RTC::TimedDoubleSeq> port("doubleValue", bound);
    EXPECT_EQ(port.receive(toCdr(little), true), CdrFault::LengthBeyondPayload);
    EXPECT_EQ(port.receive(toCdr(big), false), CdrFault::LengthBeyondPayload);
    EXPECT_TRUE(port.isEmpty());
    EXPECT_EQ(port.receive(toCdr(kBig), false), CdrFault::None);
    ASSERT_TRUE(port.read());
    expectSample(bound);
}

// Refused payloads store nothing: see the test above.
TEST(InPortBufferTest, NewestWinsAndAFullBufferDropsItsOldest) {
    RTC::TimedDoubleSeq bound;
    RTC::InPort<RTC::TimedDoubleSeq> port("doubleValue", bound);
    EXPECT_FALSE(port.read());
    Bytes older = kLittle;
    older[0] = 9;  // tm.sec = 9
    EXPECT_EQ(port.receive(toCdr(older), true), CdrFault::None);
    EXPECT_EQ(port.receive(toCdr(kLittle), true), CdrFault::None);
    ASSERT_TRUE(port.isNew());
    ASSERT_TRUE(port.read());
    expectSample(bound);
    EXPECT_FALSE(port.isNew());

    // A full buffer drops its oldest entry rather than refusing.
    for (int i = 0; i < 100; ++i) EXPECT_EQ(port.receive(toCdr(older), true), CdrFault::None);
    ASSERT_TRUE(port.read());
    EXPECT_EQ(bound.tm.sec, 9u);
}

// A peer that sends only undecodable samples: one line at the first, then one summary line per
// period at most, and the rest when the connection closes.
TEST(RefusalLogTest, FirstRefusalThenOneSummaryPerPeriod) {
    using pelorin::RefusalLog;
    using Clock = RefusalLog::Clock;
    RefusalLog log;
    const std::string place = "P0.in, connector c (id)";
    const auto refused = [&](const std::string& reason, Clock::time_point now) {
        return pelorin::rtcrt::refusalWarning(place, reason, log.refused(place, reason, now),
                                              false);
    };
    const auto closing = [&] {
        return pelorin::rtcrt::refusalWarning(place, "", log.closing(place), true);
    };
    // Long past the clock's epoch, as a real clock is (an epoch start hides a lost first time).
    const Clock::time_point start{std::chrono::hours(24 * 365 * 56)};
    EXPECT_EQ(closing(), "");
    EXPECT_EQ(refused("bad (16 bytes)", start),
              "Refused a sample on port P0.in, connector c (id): bad (16 bytes); further refusals "
              "on this connection are counted and reported every 10 s");
    int lines = 0;
    for (int ms = 1; ms <= 25000; ++ms) {
        const std::string line = refused("worse", start + std::chrono::milliseconds(ms));
        if (line.empty()) continue;
        ++lines;
        EXPECT_EQ(line,
                  "Refused 10000 more samples on port P0.in, connector c (id) in the last "
                  "10 s; latest: worse");
    }
    EXPECT_EQ(lines, 2);
    EXPECT_EQ(closing(),
              "Refused 5000 more samples on port P0.in, connector c (id) before it "
              "closed; latest: worse");
    EXPECT_EQ(closing(), "");
}

}  // namespace
