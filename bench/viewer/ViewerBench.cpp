// Viewer pacing figures: the viewer thread's processor time while the scene stands still, the
// frame rate and processor time while values stream in, and the delay from a value change to
// the swapped frame that shows it; the same stream while recording (the 'v' key), the time to
// write one recorded frame, and what a stalled disk costs the drawing thread. Needs an X display
// (run.sh starts a private Xvfb; recordings go to its scratch folder).
//
// Usage: pelorin_viewer_bench [still-seconds] [latency-samples]   (defaults: 10, 300)
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "mesh/DrawnObjectBySTL.h"
#include "scene/LiveValues.h"
#include "scene/Parts.h"
#include "scene/RotateTransform.h"
#include "scene/SceneRevision.h"
#include "util/NumberText.h"
#include "viewer/FrameRecorder.h"
#include "viewer/InputCallbacks.h"
#include "viewer/PngWriter.h"
#include "viewer/Viewer.h"
#include "viewer/ViewerState.h"
#include "viewer/ViewerTestHooks.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::duration<double, std::milli>;
constexpr int kGridCells = 60;  // 60 x 60 cells, two facets each: 7200 triangles
constexpr double kGridSize = 600.0;
constexpr long kMaxCount = 1000000;
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

// The joint the benchmark turns, and the value sets the viewer poses it with.
struct Joint {
    std::vector<pelorin::TransformValue*> table;
    pelorin::LiveValues values{{0.0}};
    void set(double degrees) { values.receive(table, &degrees, 1); }
};

Joint* buildScene(pelorin::Parts& root) {
    const std::string path = "pelorin-viewer-bench-grid.stl";  // in the working directory
    writeGridStl(path);
    auto mesh = std::make_unique<pelorin::DrawnObjectBySTL>(0.8F, 0.6F, 0.2F, "grid");
    const bool loaded = mesh->loadStl(path);
    std::remove(path.c_str());
    if (!loaded) return nullptr;
    auto joint =
        std::make_unique<pelorin::RotateTransform>(pelorin::RotateTransform::kAxisZ, 0.0, "joint");
    auto* driven = new Joint;  // lives until the process ends, as the viewer needs
    joint->angleCell()->setSlot(0);
    driven->table.push_back(joint->angleCell());
    root.inputTransforms().pushBack(std::move(joint));
    root.setDrawnObject(std::move(mesh));
    return driven;
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

struct StreamFigures {
    double framesPerSecond = 0.0;
    double viewerCpuPercent = 0.0;
};

StreamFigures streamValues(Joint* angle) {
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
    StreamFigures figures;
    figures.framesPerSecond =
        static_cast<double>(pelorin::lastFrame().frameCount - framesBefore) / elapsed;
    figures.viewerCpuPercent = 100.0 * (after.viewerThread - before.viewerThread) / elapsed;
    return figures;
}

StreamFigures measureStream(Joint* angle) {
    const StreamFigures figures = streamValues(angle);
    std::printf("values every 1 ms for %lld s: %.1f frames/s, viewer thread CPU %.1f %%\n",
                static_cast<long long>(kStreamTime.count()), figures.framesPerSecond,
                figures.viewerCpuPercent);
    return figures;
}

std::size_t filesIn(const std::string& folder) {
    std::error_code ignored;
    std::size_t count = 0;
    for (auto it = std::filesystem::directory_iterator(folder, ignored);
         it != std::filesystem::directory_iterator(); it.increment(ignored)) {
        ++count;
    }
    return count;
}

// The newest recording folder in the working directory.
std::string newestRecording() {
    std::string newest;
    for (const auto& entry : std::filesystem::directory_iterator(".")) {
        const std::string name = entry.path().filename().string();
        if (entry.is_directory() && name.rfind("pelorin-", 0) == 0 && name > newest) newest = name;
    }
    return newest;
}

// The stream again with the recording on; the baseline is the stream without it.
void measureRecording(Joint* angle, const StreamFigures& baseline) {
    const auto pressV = [] {
        pelorin::runOnViewerThread([] { pelorin::handleKey(pelorin::viewerState(), 'v'); }).wait();
    };
    const std::uint64_t framesBefore = pelorin::lastFrame().frameCount;
    pressV();
    const StreamFigures recording = streamValues(angle);
    pressV();
    const std::uint64_t drawn = pelorin::lastFrame().frameCount - framesBefore;
    const std::string folder = newestRecording();
    // The writer finishes its queue after the stop; wait until the folder stops growing.
    std::size_t files = 0;
    for (std::size_t seen = 1; seen != files;) {
        seen = files;
        std::this_thread::sleep_for(std::chrono::milliseconds(500));
        files = filesIn(folder);
    }
    std::printf(
        "the same while recording: %.1f frames/s (%.2f x the rate without), viewer thread CPU "
        "%.1f %% (%.2f x), %zu files for the %llu frames drawn while recording\n",
        recording.framesPerSecond, recording.framesPerSecond / baseline.framesPerSecond,
        recording.viewerCpuPercent, recording.viewerCpuPercent / baseline.viewerCpuPercent, files,
        static_cast<unsigned long long>(drawn));
}

pelorin::FrameImage windowSizedFrame() {
    pelorin::FrameImage frame;
    pelorin::runOnViewerThread([&] { frame = pelorin::captureViewerFrame(); }).wait();
    return frame;
}

// One frame written the recording's way and the screenshot's way.
void measureFrameWrite(const pelorin::FrameImage& frame) {
    constexpr int kWrites = 20;
    for (const auto compression : {pelorin::PngCompression::Fast, pelorin::PngCompression::Small}) {
        const Clock::time_point start = Clock::now();
        for (int i = 0; i < kWrites; ++i) {
            pelorin::replacePng("pelorin-viewer-bench-frame.png", frame, nullptr, compression);
        }
        std::printf("writing one %d x %d frame, %s compression: %.2f ms\n", frame.width,
                    frame.height,
                    compression == pelorin::PngCompression::Fast ? "recording (fast)"
                                                                 : "screenshot (small)",
                    Millis(Clock::now() - start).count() / kWrites);
    }
    std::remove("pelorin-viewer-bench-frame.png");
}

// A disk that takes 100 ms per frame while frames come at 60 a second: what handing a frame
// over costs the drawing thread, against what writing it there would cost.
void measureStalledDisk(const pelorin::FrameImage& frame) {
    constexpr auto kDiskTime = std::chrono::milliseconds(100);
    constexpr int kFrames = 120;
    const auto slowDisk = [&](const std::string&, const pelorin::FrameImage&, std::string*) {
        std::this_thread::sleep_for(kDiskTime);
        return true;
    };
    pelorin::FrameRecorder recorder(".", pelorin::FrameRecorder::kDefaultCapacity, slowDisk);
    std::vector<double> handOver;
    for (int i = 0; i < kFrames; ++i) {
        pelorin::FrameImage copy = frame;  // the drawing thread reads a new image each frame
        const Clock::time_point start = Clock::now();
        recorder.offer(std::move(copy));
        handOver.push_back(Millis(Clock::now() - start).count());
        std::this_thread::sleep_for(std::chrono::microseconds(16667));
    }
    const pelorin::FrameRecorder::Summary totals = recorder.finishAndWait();
    std::sort(handOver.begin(), handOver.end());
    std::printf(
        "disk taking %lld ms a frame, %d frames at 60/s: hand-over median %.3f ms, max %.3f ms "
        "(baseline, writing on the drawing thread: %lld ms a frame); %llu written, %llu dropped\n",
        static_cast<long long>(kDiskTime.count()), kFrames, handOver[handOver.size() / 2],
        handOver.back(), static_cast<long long>(kDiskTime.count()),
        static_cast<unsigned long long>(totals.written),
        static_cast<unsigned long long>(totals.dropped));
}

void measureLatency(Joint* angle, int samples) {
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
    long stillSeconds = 10;
    long samples = 300;
    using pelorin::NumberProblem;
    if ((argc > 1 &&
         pelorin::readWholeNumber(argv[1], 1, kMaxCount, stillSeconds) != NumberProblem::None) ||
        (argc > 2 &&
         pelorin::readWholeNumber(argv[2], 1, kMaxCount, samples) != NumberProblem::None)) {
        std::fprintf(stderr, "usage: pelorin_viewer_bench [still-seconds] [samples]\n");
        return 2;
    }
    auto* root = new pelorin::Parts("ROOT");  // lives until the process ends, as the viewer needs
    Joint* angle = buildScene(*root);
    if (angle == nullptr) {
        std::fprintf(stderr, "cannot write or load the benchmark mesh\n");
        return 1;
    }
    pelorin::setViewerRoot(root, &angle->values);
    if (!pelorin::startViewer() || !pelorin::waitForFrameShowing(0, kFrameWait)) {
        std::fprintf(stderr, "the viewer did not start (is DISPLAY set?)\n");
        return 1;
    }
    const char* cap = std::getenv("PELORIN_MAX_FPS");
    std::printf("frame cap: %s frames/s, 7200 triangles\n", cap != nullptr ? cap : "60 (default)");
    measureStill(static_cast<int>(stillSeconds));
    const StreamFigures baseline = measureStream(angle);
    measureLatency(angle, static_cast<int>(samples));
    measureRecording(angle, baseline);
    const pelorin::FrameImage frame = windowSizedFrame();
    measureFrameWrite(frame);
    measureStalledDisk(frame);
    std::fflush(stdout);
    std::_Exit(0);  // the viewer thread runs until the process ends
}
