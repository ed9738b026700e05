// Recording the window ('v'): while on, every frame the window draws is written as a numbered
// PNG file into a new folder "pelorin-YYYYMMDD-HHMMSS" of the working directory, by a writer
// thread (see FrameRecorder). The viewer draws at the frame cap's rate while recording, so the
// files form a steady sequence at that rate. Viewer thread only.
#pragma once

#include <ctime>
#include <memory>
#include <string>
#include <vector>

#include "viewer/FrameImage.h"
#include "viewer/FrameRecorder.h"

namespace pelorin {

// The running recorder, and stopped ones whose last frames are still being written; each is
// destroyed (its thread joined) on the viewer thread once its totals are out. Part of the
// viewer's state.
struct Recordings {
    std::unique_ptr<FrameRecorder> running;
    std::vector<std::unique_ptr<FrameRecorder>> finishing;
};

// "pelorin-YYYYMMDD-HHMMSS" for the given local time.
std::string recordingFolderName(const std::tm& localTime);

bool isRecording();
// Starts a recording (creating its folder, saying where on the console) or stops the one
// running; the totals are printed once its last frame is written.
void toggleRecording();
// A frame the window has just drawn: queued for writing, or dropped and counted when the writer
// is behind. Does nothing while not recording.
void recordFrame(FrameImage frame);
// The window is closing: stops the recording and waits until every queued frame of it (and of
// earlier recordings still being written) is on disk, printing the totals.
void finishRecordingsNow();

}  // namespace pelorin
