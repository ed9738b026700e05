// Decoding of received samples and the in-port buffer fed by it.
#include <gtest/gtest.h>

#include <cstdint>
#include <vector>

#include "rtcrt/CdrDecoder.h"
#include "rtm/InPort.h"

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

TEST(CdrDecodeTest, BothByteOrders) {
    RTC::TimedDoubleSeq little;
    ASSERT_TRUE(pelorin::rtcrt::decodeCdr(kLittle.data(), kLittle.size(), true, little));
    expectSample(little);
    RTC::TimedDoubleSeq big;
    ASSERT_TRUE(pelorin::rtcrt::decodeCdr(kBig.data(), kBig.size(), false, big));
    expectSample(big);
}

TEST(CdrDecodeTest, EmptySequenceHasNoPadding) {
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

TEST(CdrDecodeTest, RefusesShortAndAbsurdPayloads) {
    RTC::TimedDoubleSeq value;
    Bytes truncated(kLittle.begin(), kLittle.end() - 1);
    EXPECT_FALSE(pelorin::rtcrt::decodeCdr(truncated.data(), truncated.size(), true, value));
    EXPECT_FALSE(pelorin::rtcrt::decodeCdr(kLittle.data(), 6, true, value));
    EXPECT_FALSE(pelorin::rtcrt::decodeCdr(kLittle.data(), 0, true, value));
    // A length of 0x7fffffff elements with two doubles behind it.
    Bytes huge = kLittle;
    huge[8] = 0xff, huge[9] = 0xff, huge[10] = 0xff, huge[11] = 0x7f;
    EXPECT_FALSE(pelorin::rtcrt::decodeCdr(huge.data(), huge.size(), true, value));
    // Little-endian bytes read as big-endian announce 0x02000000 elements.
    EXPECT_FALSE(pelorin::rtcrt::decodeCdr(kLittle.data(), kLittle.size(), false, value));
    Bytes oversized(pelorin::rtcrt::kMaxCdrPayloadBytes + 1, 0);
    EXPECT_FALSE(pelorin::rtcrt::decodeCdr(oversized.data(), oversized.size(), true, value));
}

TEST(InPortBufferTest, NewestWinsAndBadPayloadStoresNothing) {
    RTC::TimedDoubleSeq bound;
    RTC::InPort<RTC::TimedDoubleSeq> port("doubleValue", bound);
    EXPECT_EQ(port.dataType(), "IDL:RTC/TimedDoubleSeq:1.0");
    EXPECT_TRUE(port.isEmpty());
    EXPECT_FALSE(port.isNew());
    EXPECT_FALSE(port.read());

    EXPECT_EQ(port.receive(toCdr({1, 2, 3}), true), OpenRTM::PORT_ERROR);
    EXPECT_FALSE(port.isNew());

    Bytes older = kLittle;
    older[0] = 9;  // tm.sec = 9
    EXPECT_EQ(port.receive(toCdr(older), true), OpenRTM::PORT_OK);
    EXPECT_EQ(port.receive(toCdr(kLittle), true), OpenRTM::PORT_OK);
    ASSERT_TRUE(port.isNew());
    ASSERT_TRUE(port.read());
    expectSample(bound);
    EXPECT_FALSE(port.isNew());

    // A full buffer drops its oldest entry rather than refusing.
    for (int i = 0; i < 100; ++i) EXPECT_EQ(port.receive(toCdr(older), true), OpenRTM::PORT_OK);
    ASSERT_TRUE(port.read());
    EXPECT_EQ(bound.tm.sec, 9u);
}

}  // namespace
