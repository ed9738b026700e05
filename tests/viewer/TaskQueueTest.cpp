#include "viewer/TaskQueue.h"

#include <gtest/gtest.h>
#include <poll.h>

#include <thread>
#include <vector>

#include "scene/SceneRevision.h"

namespace pelorin {
namespace {

bool readable(int fd) {
    pollfd p{fd, POLLIN, 0};
    return poll(&p, 1, 0) == 1;
}

TEST(TaskQueueTest, TasksFromOtherThreadsRunInOrderOnTheRunningThread) {
    TaskQueue queue;
    ASSERT_GE(queue.wakeFd(), 0);
    EXPECT_FALSE(readable(queue.wakeFd()));
    std::vector<int> order;
    std::future<bool> first;
    std::future<bool> second;
    std::thread poster([&] {
        first = queue.post([&] { order.push_back(1); });
        second = queue.post([&] { order.push_back(2); });
    });
    poster.join();
    EXPECT_TRUE(readable(queue.wakeFd()));
    queue.clearWake();
    EXPECT_FALSE(readable(queue.wakeFd()));
    queue.runPending();
    EXPECT_TRUE(first.get());
    EXPECT_TRUE(second.get());
    EXPECT_EQ(order, (std::vector<int>{1, 2}));
}

TEST(TaskQueueTest, ClosedQueueAnswersFalseInsteadOfLeavingWaitersHanging) {
    TaskQueue queue;
    bool ran = false;
    std::future<bool> pending = queue.post([&] { ran = true; });
    queue.close();
    EXPECT_FALSE(pending.get());
    EXPECT_FALSE(queue.post([&] { ran = true; }).get());
    queue.runPending();
    EXPECT_FALSE(ran);
}

TEST(SceneRevisionWakeTest, ChangesMakeTheDescriptorReadableUntilCleared) {
    const int fd = sceneChangeWakeFd();
    ASSERT_GE(fd, 0);
    clearSceneChangeWake();
    EXPECT_FALSE(readable(fd));
    const std::uint64_t before = sceneRevision();
    for (int i = 0; i < 1000; ++i) notifySceneChanged();  // far more than a pipe holds
    EXPECT_TRUE(readable(fd));
    clearSceneChangeWake();
    EXPECT_FALSE(readable(fd));
    EXPECT_EQ(sceneRevision(), before + 1000);
    // A change from another thread after the clear wakes a poller again.
    std::thread writer([] { notifySceneChanged(); });
    pollfd p{fd, POLLIN, 0};
    EXPECT_EQ(poll(&p, 1, -1), 1);
    writer.join();
    clearSceneChangeWake();
    EXPECT_EQ(waitForSceneChange(before, std::chrono::nanoseconds(0)), before + 1001);
}

}  // namespace
}  // namespace pelorin
