// The check that a received TimedDoubleSeq payload holds every value it announces, and the
// console report of refused payloads.
#include <gtest/gtest.h>

#include <vector>

#include "component/PayloadCheck.h"
#include "tools/send/CdrEncoding.h"

namespace pelorin {
namespace {

using send::ByteOrder;

PayloadCheck check(const std::vector<unsigned char>& bytes, bool littleEndian) {
    return checkTimedDoubleSeq(bytes.data(), bytes.size(), littleEndian);
}

TEST(PayloadCheck, EncodedSequencesFitAndOneByteLessDoesNot) {
    for (ByteOrder order : {ByteOrder::Little, ByteOrder::Big}) {
        const bool little = order == ByteOrder::Little;
        for (const std::vector<double>& values :
             {std::vector<double>{}, std::vector<double>{1.5}, std::vector<double>{1, 2, 3}}) {
            std::vector<unsigned char> bytes = send::encodeTimedDoubleSeq(7, 8, values, order);
            EXPECT_TRUE(check(bytes, little).fits) << values.size();
            EXPECT_EQ(check(bytes, little).announced, values.size());
            bytes.pop_back();
            EXPECT_FALSE(check(bytes, little).fits) << values.size();
        }
    }
    EXPECT_FALSE(checkTimedDoubleSeq(nullptr, 0, true).fits);
}

TEST(PayloadCheck, SixteenBytesAnnouncingHalfAGigaValueAreRefusedInEitherOrder) {
    const std::vector<unsigned char> little = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0, 0};
    const PayloadCheck result = check(little, true);
    EXPECT_FALSE(result.fits);
    EXPECT_EQ(result.announced, 0x20000000u);
    EXPECT_EQ(result.bytesNeeded, 16u + 8u * 0x20000000ull);

    const std::vector<unsigned char> big = {0, 0, 0, 2, 0, 0, 0, 0, 0x20, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_FALSE(check(big, false).fits);
    EXPECT_EQ(check(big, false).announced, 0x20000000u);

    // The largest count: the bytes needed are counted without wrapping around.
    const std::vector<unsigned char> most = {0, 0, 0, 0, 0, 0, 0, 0, 0xff, 0xff, 0xff, 0xff};
    EXPECT_EQ(check(most, true).bytesNeeded, 16u + 8u * 0xffffffffull);
}

TEST(RefusedPayloadReport, FirstRefusalAtOnceThenOneCountedLinePerIntervalPerConnection) {
    using namespace std::chrono_literals;
    StringSink sink;
    MessageStream out(sink, TextEncoding::Utf8);
    RefusalLog log(10s);
    const std::vector<unsigned char> bytes = {2, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0x20, 0, 0, 0, 0};
    const auto refused = [&](const char* connection, RefusalLog::Clock::time_point now) {
        reportRefusedPayload(log, out, connection, check(bytes, true), 16, now);
    };
    // A clock long past its epoch, as a real one is: an epoch start would hide a counter that
    // forgets when it wrote the first line.
    const RefusalLog::Clock::time_point start{std::chrono::hours(24 * 365 * 56)};

    refused("conn-a", start);
    EXPECT_EQ(sink.text(),
              "警告: doubleValue の受信データを破棄しました (接続 conn-a): 要素数 536870912 には "
              "4294967312 バイトが必要ですが、届いたのは 16 バイトです\n");
    sink.clear();
    for (int i = 1; i <= 5; ++i) refused("conn-a", start + i * 1s);
    refused("conn-b", start + 6s);
    EXPECT_EQ(sink.text().rfind("警告: doubleValue の受信データを破棄しました (接続 conn-b)", 0),
              0u)
        << sink.text();
    sink.clear();
    refused("conn-a", start + 10s);
    EXPECT_EQ(sink.text(),
              "警告: doubleValue の受信データをさらに 6 件破棄しました (接続 conn-a)\n");
    sink.clear();
    // Quiet for an interval: conn-b is forgotten, and a new refusal there is a first one again.
    refused("conn-b", start + 30s);
    EXPECT_NE(sink.text().find("要素数 536870912"), std::string::npos) << sink.text();
}

}  // namespace
}  // namespace pelorin
