// Viewer pacing figures: the viewer thread's processor time while the scene stands still, the
// frame rate and processor time while values stream in, and the delay from a value change to
// the swapped frame that shows it. Needs an X display (run.sh starts a private Xvfb).
//
// Usage: pelorin_viewer_bench [still-seconds] [latency-samples]   (defaults: 10, 300)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "render/DrawnObjectBySTL.h"
#include "scene/Parts.h"
#include "scene/RotateTransform.h"
#include "scene/SceneRevision.h"
#include "viewer/Viewer.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;
constexpr int kGridCells = 60;  // 60 x 60 cells, two facets each: 7200 triangles
constexpr double kGridSize = 600.0;
constexpr auto kStreamTime = std::chrono::seconds(3);
constexpr auto kStreamInterval = std::chrono::milliseconds(1);
constexpr auto kFrameWait = std::chrono::seconds(10);

double seconds(const timeval& t) {
    return static_cast<double>(t.tv_sec) + t.tv_usec / 1e6;
}

// Processor seconds of the viewer thread (read on that thread) and of the whole process.
struct CpuTimes {
    double viewerThread = 0.0;
    double process = 0.0;
};

CpuTimes cpuTimes() {
    CpuTimes times;
    pelorin::runOnViewerThread([&] {
        rusage usage{};
        getrusage(RUSAGE_THREAD, &usage);
        times.viewerThread = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    }).wait();
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    times.process = seconds(usage.ru_utime) + seconds(usage.ru_stime);
    return times;
}

void writeFacet(std::ofstream& out, const double (&corners)[3][2], double z) {
    out << " facet normal 0 0 1\n  outer loop\n";
    for (const auto& c : corners) out << "   vertex " << c[0] << ' ' << c[1] << ' ' << z << '\n';
    out << "  endloop\n endfacet\n";
}

// A ridged square of kGridCells^2 cells facing +Z, so the frame has real work in it.
void writeGridStl(const std::string& path) {
    std::ofstream out(path);
    out << "solid grid\n";
    const double cell = kGridSize / kGridCells;
    for (int i = 0; i < kGridCells; ++i) {
        for (int j = 0; j < kGridCells; ++j) {
            const double x = i * cell;
            const double y = j * cell;
            const double z = 20.0 * ((i + j) % 3);
            writeFacet(out, {{x, y}, {x + cell, y}, {x + cell, y + cell}}, z);
            writeFacet(out, {{x, y}, {x + cell, y + cell}, {x, y + cell}}, z);
        }
    }
    out << "endsolid grid\n";
}

pelorin::TransformValue* buildScene(pelorin::Parts& root) {
    const std::string path = "pelorin-viewer-bench-grid.stl";  // in the working directory
    writeGridStl(path);
    auto mesh = std::make_unique<pelorin::DrawnObjectBySTL>(0.8F, 0.6F, 0.2F, "grid");
    const bool loaded = mesh->loadStl(path);
    std::remove(path.c_str());
    if (!loaded) return nullptr;
    auto joint =
        std::make_unique<pelorin::RotateTransform>(pelorin::RotateTransform::kAxisZ, 0.0, "joint");
    pelorin::TransformValue* angle = joint->angleCell();
    root.inputTransforms().pushBack(std::move(joint));
    root.setDrawnObject(std::move(mesh));
    return angle;
}

void measureStill(int stillSeconds) {
    std::this_thread::sleep_for(std::chrono::seconds(1));  // let start-up frames settle
    const CpuTimes before = cpuTimes();
    const std::uint64_t framesBefore = pelorin::lastFrame().frameCount;
    std::this_thread::sleep_for(std::chrono::seconds(stillSeconds));
    const CpuTimes after = cpuTimes();
    std::printf(
        "still scene, %d s: viewer thread CPU %.4f s (%.3f %%), process CPU %.4f s, "
        "frames drawn %llu\n",
        stillSeconds, after.viewerThread - before.viewerThread,
        100.0 * (after.viewerThread - before.viewerThread) / stillSeconds,
        after.process - before.process,
        static_cast<unsigned long long>(pelorin::lastFrame().frameCount - framesBefore));
}

void measureStream(pelorin::TransformValue* angle) {
    const CpuTimes before = cpuTimes();
    const std::uint64_t framesBefore = pelorin::lastFrame().frameCount;
    const Clock::time_point start = Clock::now();
    double degrees = 0.0;
    while (Clock::now() - start < kStreamTime) {
        angle->set(degrees += 0.1);
        pelorin::notifySceneChanged();
        std::this_thread::sleep_for(kStreamInterval);
    }
    const double elapsed = std::chrono::duration<double>(Clock::now() - start).count();
    const CpuTimes after = cpuTimes();
    const auto frames = pelorin::lastFrame().frameCount - framesBefore;
    std::printf("values every 1 ms for %.1f s: %.1f frames/s, viewer thread CPU %.1f %%\n", elapsed,
                frames / elapsed, 100.0 * (after.viewerThread - before.viewerThread) / elapsed);
}

void measureLatency(pelorin::TransformValue* angle, int samples) {
    std::mt19937 random(12345);
    // Changes arrive at random moments: some just after a frame (they wait for the cap), most
    // long after one (drawn at once).
    std::uniform_int_distribution<int> pauseMicros(0, 40000);
    std::vector<double> delays;
    for (int i = 0; i < samples; ++i) {
        std::this_thread::sleep_for(std::chrono::microseconds(pauseMicros(random)));
        const Clock::time_point changed = Clock::now();
        angle->set(i % 360);
        pelorin::notifySceneChanged();
        pelorin::FrameRecord frame;
        if (!pelorin::waitForFrameShowing(pelorin::sceneRevision(), kFrameWait, &frame)) {
            std::printf("no frame within %lld s\n", static_cast<long long>(kFrameWait.count()));
            return;
        }
        delays.push_back(Millis(frame.swappedAt - changed).count());
    }
    std::sort(delays.begin(), delays.end());
    const auto rank = [&](double q) {
        return delays[static_cast<std::size_t>(q * (delays.size() - 1))];
    };
    std::printf(
        "value change to swapped frame, %d samples: median %.2f ms, p99 %.2f ms, max %.2f ms\n",
        samples, rank(0.5), rank(0.99), delays.back());
}

}  // namespace

int main(int argc, char** argv) {
    const int stillSeconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 10;
    const int samples = argc > 2 ? std::max(1, std::atoi(argv[2])) : 300;
    auto* root = new pelorin::Parts("ROOT");  // lives until the process ends, as the viewer needs
    pelorin::TransformValue* angle = buildScene(*root);
    if (angle == nullptr) {
        std::fprintf(stderr, "cannot write or load the benchmark mesh\n");
        return 1;
    }
    pelorin::setViewerRoot(root);
    if (!pelorin::startViewer() || !pelorin::waitForFrameShowing(0, kFrameWait)) {
        std::fprintf(stderr, "the viewer did not start (is DISPLAY set?)\n");
        return 1;
    }
    const char* cap = std::getenv("PELORIN_MAX_FPS");
    std::printf("frame cap: %s frames/s, 7200 triangles\n", cap != nullptr ? cap : "60 (default)");
    measureStill(stillSeconds);
    measureStream(angle);
    measureLatency(angle, samples);
    std::fflush(stdout);
    std::_Exit(0);  // the viewer thread runs until the process ends
}
