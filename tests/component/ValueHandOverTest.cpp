// The hand-over of received sequences to the scene: how many values reach the table, and how a
// short sequence is reported.
#include <gtest/gtest.h>

#include <vector>

#include "component/ValueHandOver.h"
#include "util/MessageStream.h"

namespace pelorin {
namespace {

class TableHost : public ComponentHost {
  public:
    explicit TableHost(int size) : cells(static_cast<std::size_t>(size), -1.0) {}
    pelorin::HostStart start() override { return pelorin::HostStart::Shown; }
    int valueCount() const override { return static_cast<int>(cells.size()); }
    void setValues(const double* values, int count) override {
        ++calls;
        for (int i = 0; i < count; ++i) cells[static_cast<std::size_t>(i)] = values[i];
    }
    std::vector<double> cells;
    int calls = 0;
};

class ValueHandOverTest : public ::testing::Test {
  protected:
    void SetUp() override { Console::redirect(&out_, &err_, TextEncoding::Utf8); }
    void TearDown() override { Console::redirect(nullptr, nullptr); }
    StringSink out_;
    StringSink err_;
};

const char* const kWarningFor2Of3 =
    "警告: doubleValue の受信データの要素数 2 が設定ファイルの要素数 3 より少ないため、"
    "このデータは適用しません\n";

// A table of 200 values, larger than the fixed room the hand-over once had, is handed over whole.
TEST_F(ValueHandOverTest, LongerOrEqualSequencesApplyTheFirstTableSizeValues) {
    TableHost host(200);
    ValueHandOver handOver(host);
    std::vector<double> values(205);
    for (std::size_t i = 0; i < values.size(); ++i) values[i] = static_cast<double>(i);
    EXPECT_EQ(handOver.deliver(values.data(), values.size()), HandOverResult::Applied);
    EXPECT_EQ(host.cells, std::vector<double>(values.begin(), values.begin() + 200));
    values.resize(200);
    values[0] = -1.5;
    EXPECT_EQ(handOver.deliver(values.data(), values.size()), HandOverResult::Applied);
    EXPECT_EQ(host.cells, values);
    EXPECT_EQ(out_.text(), "");
}

TEST_F(ValueHandOverTest, ShortOrEmptySequenceAppliesNothingAndWarnsOnceUntilAGoodOneArrives) {
    TableHost host(3);
    ValueHandOver handOver(host);
    const std::vector<double> good = {1, 2, 3};
    const std::vector<double> shortOne = {7, 8};
    handOver.deliver(good.data(), good.size());
    for (int cycle = 0; cycle < 5; ++cycle)
        EXPECT_EQ(handOver.deliver(shortOne.data(), shortOne.size()), HandOverResult::TooShort);
    EXPECT_EQ(host.cells, good);
    EXPECT_EQ(host.calls, 1);
    EXPECT_EQ(out_.text(), kWarningFor2Of3);

    handOver.deliver(good.data(), good.size());
    EXPECT_FALSE(handOver.warningGiven());
    handOver.deliver(shortOne.data(), shortOne.size());
    EXPECT_EQ(out_.text(), std::string(kWarningFor2Of3) + kWarningFor2Of3);

    // An empty sequence is short for any table but an empty one.
    EXPECT_EQ(handOver.deliver(nullptr, 0), HandOverResult::TooShort);
    TableHost emptyTable(0);
    ValueHandOver emptyHandOver(emptyTable);
    EXPECT_EQ(emptyHandOver.deliver(good.data(), good.size()), HandOverResult::Applied);
    EXPECT_EQ(emptyHandOver.deliver(nullptr, 0), HandOverResult::Applied);
    EXPECT_EQ(emptyTable.calls, 2);
}

}  // namespace
}  // namespace pelorin
