// The check before an input file is opened: a FIFO is refused from its type alone, never opened
// (opening one wakes a writer that waits for a reader, and a device may act on being opened).
#include "util/InputFile.h"

#include <gtest/gtest.h>
#include <sys/inotify.h>

#include "tests/support/SpecialFiles.h"
#include "tests/support/TempDir.h"

namespace pelorin {
namespace {

TEST(InputFileTest, AFifoIsRefusedWithoutBeingOpened) {
    testing::TempDir dir;
    const std::string fifo = dir.file("fifo");
    ASSERT_TRUE(testing::makeFifo(fifo));
    // The kernel queues an open event before open() returns, so the queue tells at once.
    const int watch = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    ASSERT_GE(watch, 0);
    ASSERT_GE(inotify_add_watch(watch, fifo.c_str(), IN_OPEN), 0);
    EXPECT_EQ(checkInputFile(fifo), OpenStatus::NotRegularFile);
    EXPECT_EQ(checkInputFile(dir.file("")), OpenStatus::NotRegularFile);
    EXPECT_EQ(checkInputFile(dir.file("absent")), OpenStatus::CannotOpen);
    alignas(inotify_event) char events[4096];
    EXPECT_LT(read(watch, events, sizeof events), 0) << "the FIFO was opened";
    close(watch);
}

}  // namespace
}  // namespace pelorin
