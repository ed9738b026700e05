#include "tests/support/XvfbDisplay.h"

#include <poll.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <string>

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

}  // namespace pelorin::testing
