#include <sstream>

#include "tests/component/EndToEnd.h"
#include "tests/support/XvfbDisplay.h"

// Last: Xlib defines macros (None, Status, ...) that clash with other headers.
#include <X11/Xlib.h>

namespace pelorin::testing {
namespace {

bool parsePpm(const std::string& bytes, Picture& picture) {
    std::istringstream in(bytes);
    std::string magic;
    int maxValue = 0;
    in >> magic >> picture.width >> picture.height >> maxValue;
    in.get();
    if (magic != "P6" || maxValue != 255 || picture.width <= 0 || picture.height <= 0) return false;
    picture.rgb.resize(static_cast<std::size_t>(picture.width) * picture.height * 3);
    in.read(reinterpret_cast<char*>(picture.rgb.data()),
            static_cast<std::streamsize>(picture.rgb.size()));
    return static_cast<std::size_t>(in.gcount()) == picture.rgb.size();
}

Window findWindow(Display* display, Window parent, const std::string& title) {
    Window root;
    Window up;
    Window* children = nullptr;
    unsigned int count = 0;
    if (XQueryTree(display, parent, &root, &up, &children, &count) == 0) return 0;
    Window found = 0;
    for (unsigned int i = 0; i < count && found == 0; ++i) {
        char* name = nullptr;
        if (XFetchName(display, children[i], &name) != 0 && name != nullptr) {
            if (title == name) found = children[i];
            XFree(name);
        }
        if (found == 0) found = findWindow(display, children[i], title);
    }
    if (children != nullptr) XFree(children);
    return found;
}

}  // namespace

bool closeWindowTitled(const std::string& title, std::string& error) {
    Display* display = XOpenDisplay(xvfbDisplayName().c_str());
    if (display == nullptr) {
        error = "cannot open the private display";
        return false;
    }
    const Window window = findWindow(display, DefaultRootWindow(display), title);
    if (window == 0) {
        error = "no window titled " + title;
        XCloseDisplay(display);
        return false;
    }
    XEvent event{};
    event.xclient.type = ClientMessage;
    event.xclient.window = window;
    event.xclient.message_type = XInternAtom(display, "WM_PROTOCOLS", False);
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(XInternAtom(display, "WM_DELETE_WINDOW", False));
    event.xclient.data.l[1] = CurrentTime;
    const bool sent = XSendEvent(display, window, False, NoEventMask, &event) != 0;
    XCloseDisplay(display);
    if (!sent) error = "the close request could not be sent";
    return sent;
}

bool takeScreenshot(Picture& picture, std::string& error) {
    const std::string display = xvfbDisplayName();
    if (display.empty()) {
        error = "no private display";
        return false;
    }
    TempFolder folder;
    const RunResult shot =
        runToEnd({"import", "-display", display, "-window", "root", "-depth", "8", "ppm:shot.ppm"},
                 folder.path(), std::chrono::seconds(20));
    if (!shot.finished || shot.exitCode != 0) {
        error = "import failed: " + shot.err;
        return false;
    }
    if (!parsePpm(readFile(folder.file("shot.ppm")), picture)) {
        error = "import wrote no readable picture";
        return false;
    }
    return true;
}

long differingPixels(const Picture& a, const Picture& b) {
    if (a.width != b.width || a.height != b.height) return static_cast<long>(a.width) * a.height;
    long count = 0;
    for (std::size_t i = 0; i + 2 < a.rgb.size(); i += 3) {
        for (std::size_t c = 0; c < 3; ++c) {
            if (std::abs(int(a.rgb[i + c]) - int(b.rgb[i + c])) > 8) {
                ++count;
                break;
            }
        }
    }
    return count;
}

long redPixels(const Picture& picture) {
    long count = 0;
    for (std::size_t i = 0; i + 2 < picture.rgb.size(); i += 3) {
        const int r = picture.rgb[i], g = picture.rgb[i + 1], b = picture.rgb[i + 2];
        if (r >= 80 && r > 2 * g + 20 && r > 2 * b + 20) ++count;
    }
    return count;
}

}  // namespace pelorin::testing
