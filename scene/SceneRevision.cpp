#include "scene/SceneRevision.h"

#include <condition_variable>
#include <mutex>

namespace pelorin {
namespace {

struct Revision {
    std::mutex mutex;
    std::condition_variable changed;
    std::uint64_t value = 0;
};

Revision& revision() {
    // Never destroyed: the viewer thread may still wait on it while the process exits.
    static Revision* instance = new Revision;
    return *instance;
}

}  // namespace

void notifySceneChanged() {
    Revision& r = revision();
    {
        std::lock_guard<std::mutex> lock(r.mutex);
        ++r.value;
    }
    r.changed.notify_all();
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

}  // namespace pelorin
