#include "tests/support/XvfbDisplay.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

// Last: Xlib defines macros (None, Status, ...) that clash with other headers.
#include <X11/Xlib.h>

namespace pelorin::testing {
namespace {

// Xvfb normally reports its display within a second; a loaded machine gets generous slack.
constexpr int kStartupWaitMs = 30000;

struct Server {
    pid_t pid = -1;
    std::string display;
    std::string error;
    bool tried = false;

    ~Server() {
        if (pid <= 0) return;
        kill(pid, SIGTERM);
        waitpid(pid, nullptr, 0);
    }
};

Server& server() {
    static Server instance;
    return instance;
}

[[noreturn]] void execXvfb(int writeFd) {
    // Stop the server when the test process dies without running its destructors.
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    const std::string fd = std::to_string(writeFd);
    execlp("Xvfb", "Xvfb", "-displayfd", fd.c_str(), "-screen", "0", "1024x768x24", "-nolisten",
           "tcp", "-noreset", static_cast<char*>(nullptr));
    _exit(127);
}

// Reads the display number that Xvfb writes, terminated by a newline.
bool readDisplayNumber(int readFd, std::string& number, std::string& error) {
    pollfd pfd{readFd, POLLIN, 0};
    char ch;
    while (true) {
        const int ready = poll(&pfd, 1, kStartupWaitMs);
        if (ready <= 0) {
            error = "Xvfb did not report a display number";
            return false;
        }
        const ssize_t got = read(readFd, &ch, 1);
        if (got < 0 && errno == EINTR) continue;
        if (got <= 0) {
            error = "Xvfb ended before reporting a display (is it installed?)";
            return false;
        }
        if (ch == '\n') return !number.empty();
        number.push_back(ch);
    }
}

void start(Server& s) {
    int fds[2];
    if (pipe(fds) != 0) {
        s.error = "cannot create a pipe for Xvfb";
        return;
    }
    const pid_t pid = fork();
    if (pid == 0) {
        close(fds[0]);
        execXvfb(fds[1]);
    }
    close(fds[1]);
    if (pid < 0) {
        close(fds[0]);
        s.error = "cannot fork for Xvfb";
        return;
    }
    s.pid = pid;
    std::string number;
    const bool ok = readDisplayNumber(fds[0], number, s.error);
    close(fds[0]);
    if (!ok) return;
    s.display = ":" + number;
    setenv("DISPLAY", s.display.c_str(), 1);
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

bool ensureXvfbDisplay(std::string* error) {
    Server& s = server();
    if (!s.tried) {
        s.tried = true;
        start(s);
    }
    if (error != nullptr) *error = s.error;
    return !s.display.empty();
}

std::string xvfbDisplayName() {
    return server().display;
}

bool windowTitledExists(const std::string& title) {
    Display* display = XOpenDisplay(xvfbDisplayName().c_str());
    if (display == nullptr) return false;
    const bool found = findWindow(display, DefaultRootWindow(display), title) != 0;
    XCloseDisplay(display);
    return found;
}

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

}  // namespace pelorin::testing
