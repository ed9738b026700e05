// Value-set benchmark: what handing each received sequence over as one whole set costs, for
// robots of 6 and of 60 driven joints, each figure with its ratio to a baseline of the same run:
//
// - publish: LiveValues::receive of one sequence, against storing the same numbers into a plain
//   array (the least any hand-over can cost), and again while another thread takes snapshots
//   back to back (far more often than a viewer's 60 frames a second);
// - frame: PosedScene::update after each sequence (one snapshot and the pose of the whole chain),
//   against composePartsPoses on a set already at hand;
// - heap allocations counted over every sequence and frame after the first of each.
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <new>
#include <thread>
#include <vector>

#include "scene/LiveValues.h"
#include "scene/Parts.h"
#include "scene/PartsPose.h"
#include "scene/PosedScene.h"
#include "scene/RotateTransform.h"
#include "scene/TranslateTransform.h"

namespace {

std::atomic<unsigned long> allocations{0};

}  // namespace

[[gnu::noinline]] void* operator new(std::size_t size) {
    allocations.fetch_add(1, std::memory_order_relaxed);
    if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
    throw std::bad_alloc();
}
// Kept out of line, so that the compiler pairs each delete with its new, not with free.
[[gnu::noinline]] void operator delete(void* p) noexcept {
    std::free(p);
}
[[gnu::noinline]] void operator delete(void* p, std::size_t) noexcept {
    std::free(p);
}

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kSequences = 100000;
constexpr int kFrames = 10000;  // per turn

// A chain of `joints` bodies, each turned about Z by its own driven angle, 100 units apart.
struct Chain {
    std::vector<std::unique_ptr<pelorin::Parts>> bodies;
    std::vector<pelorin::TransformValue*> table;

    explicit Chain(int joints) {
        for (int i = 0; i < joints; ++i) {
            bodies.push_back(std::make_unique<pelorin::Parts>("body"));
            auto turn = std::make_unique<pelorin::RotateTransform>(pelorin::RotateTransform::kAxisZ,
                                                                   "turn");
            turn->angleCell()->setSlot(table.size());
            table.push_back(turn->angleCell());
            bodies.back()->inputTransforms().pushBack(std::move(turn));
            if (i == 0) continue;
            pelorin::OutputPath* path = bodies[i - 1]->addOutputPath("next");
            path->transforms().pushBack(
                std::make_unique<pelorin::TranslateTransform>(100.0, 0.0, 0.0, "link"));
            path->setChild(bodies.back().get());
        }
    }
};

// Nanoseconds per step, the best of five turns: the machine is shared, and the least disturbed
// turn is the one that compares.
template <typename Step>
double nanosEach(int count, Step step) {
    double best = 1e300;
    for (int turn = 0; turn < 5; ++turn) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < count; ++i) step(i);
        const double each =
            std::chrono::duration<double, std::nano>(Clock::now() - start).count() / count;
        best = each < best ? each : best;
    }
    return best;
}

void measure(int joints) {
    Chain chain(joints);
    std::vector<double> sequence(joints, 0.0);
    pelorin::LiveValues live(pelorin::PoseValues(joints, 0.0));
    std::vector<double> plain(joints);
    std::atomic<double> sink{0.0};
    const double store = nanosEach(kSequences, [&](int i) {
        sequence[0] = i;
        for (int j = 0; j < joints; ++j) plain[j] = sequence[j];
        sink.store(plain[joints - 1], std::memory_order_relaxed);
    });
    const double publish = nanosEach(kSequences, [&](int i) {
        sequence[0] = i;
        live.receive(chain.table, sequence.data(), sequence.size());
    });
    std::atomic<bool> stop{false};
    std::thread reader([&] {
        pelorin::PoseValues copy;
        while (!stop.load(std::memory_order_relaxed)) live.snapshot(copy);
    });
    const double contended = nanosEach(kSequences, [&](int i) {
        sequence[0] = i;
        live.receive(chain.table, sequence.data(), sequence.size());
    });
    stop = true;
    reader.join();
    std::printf(
        "%2d joints, publish: %.0f ns a sequence, %.0f ns with a reader (plain store %.0f ns;"
        " ratios %.1f and %.1f)\n",
        joints, publish, contended, store, publish / store, contended / store);

    pelorin::PosedScene frame;
    std::vector<pelorin::PartsPose> poses;
    pelorin::PoseValues values(sequence);  // the same numbers as the published sets
    pelorin::composePartsPoses(*chain.bodies.front(), values, poses);
    frame.update(*chain.bodies.front(), &live);
    const unsigned long allocationsBefore = allocations.load();
    const double compose = nanosEach(kFrames, [&](int i) {
        values[0] = i;
        pelorin::composePartsPoses(*chain.bodies.front(), values, poses);
    });
    const double posed = nanosEach(kFrames, [&](int i) {
        sequence[0] = i;
        live.receive(chain.table, sequence.data(), sequence.size());
        frame.update(*chain.bodies.front(), &live);
    });
    const unsigned long allocated = allocations.load() - allocationsBefore;
    std::printf(
        "%2d joints, frame: %.0f ns to publish, snapshot and pose (pose alone %.0f ns; "
        "ratio %.2f); heap allocations in %d such frames: %lu\n",
        joints, posed, compose, posed / compose, 5 * kFrames, allocated);
}

}  // namespace

int main() {
    measure(6);
    measure(60);
    return 0;
}
