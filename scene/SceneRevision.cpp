#include "scene/SceneRevision.h"

#include <fcntl.h>
#include <unistd.h>

#include <atomic>
#include <condition_variable>
#include <mutex>

namespace pelorin {
namespace {

struct Revision {
    Revision() {
        int ends[2];
        if (pipe2(ends, O_NONBLOCK | O_CLOEXEC) == 0) {
            readEnd = ends[0];
            writeEnd = ends[1];
        }
    }

    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t value = 0;
    int readEnd = -1;
    int writeEnd = -1;
    // Set while a byte sits in the pipe, so a burst of changes costs one write, not one each.
    std::atomic<bool> wakePending{false};
};

Revision& revision() {
    // Never destroyed: the viewer thread may still wait on it while the process exits.
    static Revision* instance = new Revision;
    return *instance;
}

void signalWake(Revision& r) {
    if (r.writeEnd < 0 || r.wakePending.exchange(true)) return;
    const char byte = 1;
    // A full pipe (EAGAIN) is already readable, which is all the poller needs.
    [[maybe_unused]] ssize_t written = write(r.writeEnd, &byte, 1);
}

}  // namespace

void notifySceneChanged() {
    Revision& r = revision();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        ++r.value;
    }
    r.changed.notify_all();
    signalWake(r);
}

std::uint64_t sceneRevision() {
    Revision& r = revision();
    std::lock_guard<std::mutex> lock(r.mutex);
    return r.value;
}

std::uint64_t waitForSceneChange(std::uint64_t seen, std::chrono::nanoseconds timeout) {
    Revision& r = revision();
    std::unique_lock<std::mutex> lock(r.mutex);
    r.changed.wait_for(lock, timeout, [&] { return r.value != seen; });
    return r.value;
}

int sceneChangeWakeFd() {
    return revision().readEnd;
}

void clearSceneChangeWake() {
    Revision& r = revision();
    if (r.readEnd < 0) return;
    char buffer[64];
    while (read(r.readEnd, buffer, sizeof buffer) > 0) {
    }
    // Cleared after the drain: a change whose write was skipped because the flag was still set
    // was counted before this point, so the caller's next sceneRevision() sees it; a later
    // change finds the flag clear and writes a new byte.
    r.wakePending.store(false);
}

}  // namespace pelorin
