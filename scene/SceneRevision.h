// A process-wide change counter that lets the viewer sleep while nothing changes.
//
// Writers (the component's execution cycle after a batch of values, the viewer's own input
// callbacks) call notifySceneChanged(); the viewer thread waits with waitForSceneChange().
#pragma once

#include <chrono>
#include <cstdint>

namespace pelorin {

void notifySceneChanged();
std::uint64_t sceneRevision();
// Blocks until the revision differs from `seen` or `timeout` passes; returns the revision then.
std::uint64_t waitForSceneChange(std::uint64_t seen, std::chrono::nanoseconds timeout);

}  // namespace pelorin
