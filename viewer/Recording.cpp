#include "viewer/Recording.h"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cmath>
#include <cstring>
#include <memory>
#include <vector>

#include "util/MessageStream.h"
#include "viewer/FrameRecorder.h"
#include "viewer/Viewer.h"
#include "viewer/ViewerMessages.h"
#include "viewer/ViewerState.h"

namespace pelorin {
namespace {

namespace m = viewer_messages;

constexpr int kMaxFolderCandidates = 100;

Recordings& recordings() {
    return viewerState().recordings;
}

// Creates the folder for a recording starting now: the time's name, or with "-2", "-3", ...
// when a recording of the same second exists. When none can be made, `reason` says why and the
// name tried first is returned for the message.
std::string createFolder(std::string* reason) {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    std::string base = recordingFolderName(local);
    for (int counter = 1; counter <= kMaxFolderCandidates; ++counter) {
        std::string name = counter == 1 ? base : base + "-" + std::to_string(counter);
        if (mkdir(name.c_str(), 0777) == 0) return name;
        if (errno != EEXIST) {
            *reason = std::strerror(errno);
            return base;
        }
    }
    *reason = std::strerror(EEXIST);
    return base;
}

// The frame cap, rounded to whole frames a second.
long framesPerSecond() {
    const std::chrono::duration<double> period = viewerState().pacer.period();
    return std::lround(1.0 / period.count());
}

void printFailure(const std::string& path, const std::string& reason) {
    Console::out()
        .msg(m::kRecordingWriteFailed)
        .raw(path)
        .msg(m::kReasonSeparator)
        .raw(reason)
        .endl();
}

void printTotals(const std::string& folder, const FrameRecorder::Summary& totals) {
    MessageStream& out = Console::out();
    out.msg(m::kRecordingStopped).raw(folder).raw("/").msg(m::kRecordingFrames)
        << static_cast<unsigned long>(totals.written);
    out.msg(m::kRecordingDropped) << static_cast<unsigned long>(totals.dropped + totals.failed);
    out.endl();
}

// Runs on the viewer thread after `recorder` has written its last frame.
void reportFinished(const FrameRecorder* recorder, const FrameRecorder::Summary& totals) {
    std::vector<std::unique_ptr<FrameRecorder>>& finishing = recordings().finishing;
    const auto found = std::find_if(finishing.begin(), finishing.end(),
                                    [&](const auto& r) { return r.get() == recorder; });
    if (found == finishing.end()) return;  // already reported by finishRecordingsNow
    printTotals(recorder->folder(), totals);
    finishing.erase(found);
}

void start() {
    std::string reason;
    const std::string folder = createFolder(&reason);
    if (!reason.empty()) {
        Console::out()
            .msg(m::kRecordingCannotStart)
            .raw(folder)
            .msg(m::kReasonSeparator)
            .raw(reason)
            .endl();
        return;
    }
    // Failures are printed on the viewer thread, which owns the console.
    auto onFailure = [](const std::string& path, const std::string& why) {
        runOnViewerThread([path, why] { printFailure(path, why); });
    };
    recordings().running = std::make_unique<FrameRecorder>(folder, FrameRecorder::kDefaultCapacity,
                                                           nullptr, onFailure);
    MessageStream& out = Console::out();
    out.msg(m::kRecordingStarted).raw(folder).raw("/").msg(m::kRecordingRate) << framesPerSecond();
    out.msg(m::kFramesPerSecond).msg(m::kRecordingRateClose).endl();
    requestRedraw();
}

void stop() {
    Recordings& state = recordings();
    FrameRecorder* recorder = state.running.get();
    state.finishing.push_back(std::move(state.running));
    recorder->finish([recorder](const FrameRecorder::Summary& totals) {
        runOnViewerThread([recorder, totals] { reportFinished(recorder, totals); });
    });
}

}  // namespace

std::string recordingFolderName(const std::tm& localTime) {
    char text[64];
    std::strftime(text, sizeof text, "pelorin-%Y%m%d-%H%M%S", &localTime);
    return text;
}

bool isRecording() {
    return recordings().running != nullptr;
}

void toggleRecording() {
    if (isRecording()) {
        stop();
    } else {
        start();
    }
}

void recordFrame(FrameImage frame) {
    if (FrameRecorder* recorder = recordings().running.get()) recorder->offer(std::move(frame));
}

void finishRecordingsNow() {
    Recordings& state = recordings();
    if (state.running) stop();
    for (const std::unique_ptr<FrameRecorder>& recorder : state.finishing) {
        printTotals(recorder->folder(), recorder->finishAndWait());
    }
    // A reportFinished task still to come finds nothing left to report.
    state.finishing.clear();
}

}  // namespace pelorin
