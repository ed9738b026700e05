// A process-wide change counter that lets the viewer sleep while nothing changes.
//
// Writers (the component's execution cycle after a batch of values, the start-up code when it
// publishes a new root) call notifySceneChanged(); the viewer thread either blocks in
// waitForSceneChange() or polls sceneChangeWakeFd() together with its window connection.
// Every function may be called from any thread.
#pragma once

#include <chrono>
#include <cstdint>

namespace pelorin {

// Counts one change and wakes every waiter; never blocks for long (a mutex and one write to a
// non-blocking pipe).
void notifySceneChanged();
std::uint64_t sceneRevision();
// Blocks until the revision differs from `seen` or `timeout` passes; returns the revision then.
std::uint64_t waitForSceneChange(std::uint64_t seen, std::chrono::nanoseconds timeout);

// A descriptor that becomes readable after notifySceneChanged(), for the one thread that
// polls it (the viewer). It stays readable until clearSceneChangeWake(). -1 when the process
// could not create a pipe; the poller then has to fall back on waitForSceneChange() or a timeout.
int sceneChangeWakeFd();
// Empties the wake descriptor. Call it before reading sceneRevision(): a change counted after
// the clear either shows in that read or makes the descriptor readable again.
void clearSceneChangeWake();

}  // namespace pelorin
