#include "viewer/Screenshot.h"

#include <sys/stat.h>

#include "util/MessageStream.h"
#include "viewer/FrameDrawing.h"
#include "viewer/PngWriter.h"
#include "viewer/ViewerMessages.h"

namespace pelorin {
namespace {

constexpr const char* kExtension = ".png";
constexpr int kMaxCandidates = 100;

bool fileExists(const std::string& path) {
    struct stat info;
    return stat(path.c_str(), &info) == 0;
}

std::string withCounter(const std::string& name, int counter) {
    if (counter == 1) return name;
    const std::string stem = name.substr(0, name.size() - std::string(kExtension).size());
    return stem + "-" + std::to_string(counter) + kExtension;
}

}  // namespace

std::string screenshotFileName(const std::tm& localTime) {
    char text[64];
    std::strftime(text, sizeof text, "pelorin-%Y%m%d-%H%M%S.png", &localTime);
    return text;
}

std::string unusedScreenshotName(const std::string& name) {
    for (int counter = 1; counter <= kMaxCandidates; ++counter) {
        std::string candidate = withCounter(name, counter);
        if (!fileExists(candidate)) return candidate;
    }
    return std::string();
}

std::string saveScreenshot() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    const std::string wanted = screenshotFileName(local);
    std::string name = unusedScreenshotName(wanted);
    std::string reason = "file exists";
    // Exclusive creation in writePng still protects a file that appears after the check.
    if (!name.empty() && writePng(name, drawAndCaptureFrame(), &reason)) {
        Console::out().msg(viewer_messages::kScreenshotSaved).raw(name).endl();
        return name;
    }
    Console::out()
        .msg(viewer_messages::kScreenshotFailed)
        .raw(name.empty() ? wanted : name)
        .msg(viewer_messages::kReasonSeparator)
        .raw(reason)
        .endl();
    return std::string();
}

}  // namespace pelorin
