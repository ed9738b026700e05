#include "tests/component/EndToEnd.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <thread>

#include "tests/support/XvfbDisplay.h"

namespace pelorin::testing {
namespace {

constexpr auto kPollStep = std::chrono::milliseconds(20);

// Only async-signal-safe calls until the exec (setenv aside, which the naming service's start
// does not need): the test process may run ORB threads.
[[noreturn]] void execChild(char* const* args, const std::string& folder,
                            const std::map<std::string, std::string>& env, int inputFd,
                            const std::string& outPath, const std::string& errPath) {
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (chdir(folder.c_str()) != 0) _exit(126);
    for (const auto& [key, value] : env) setenv(key.c_str(), value.c_str(), 1);
    dup2(inputFd, 0);
    dup2(open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 1);
    dup2(open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644), 2);
    execvp(args[0], args);
    _exit(127);
}

// Standard input of a child: the given text through a pipe, or nothing.
int inputFor(const std::string& input) {
    int fds[2];
    if (pipe(fds) != 0) return open("/dev/null", O_RDONLY);
    // Small inputs fit in the pipe buffer, so the write never blocks.
    if (!input.empty() && write(fds[1], input.data(), input.size()) < 0) {
    }
    close(fds[1]);
    return fds[0];
}

bool connectsTo(int port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<std::uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    const bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

// A socket bound to a free loopback port; its port number in `port`.
int boundLoopbackSocket(int& port) {
    const int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    socklen_t length = sizeof address;
    if (bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) == 0)
        port = ntohs(address.sin_port);
    return fd;
}

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

}  // namespace

std::string hostName() {
    struct utsname node {};
    uname(&node);
    return node.nodename;
}

std::string readFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

Child::Child(const std::vector<std::string>& argv, const std::string& folder,
             const std::map<std::string, std::string>& env, const std::string& input) {
    static int counter = 0;
    const std::string tag = std::to_string(getpid()) + "-" + std::to_string(++counter);
    outPath_ = folder + "/child-" + tag + ".out";
    errPath_ = folder + "/child-" + tag + ".err";
    const int inputFd = inputFor(input);
    std::vector<char*> args;
    for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
    args.push_back(nullptr);
    pid_ = fork();
    if (pid_ == 0) execChild(args.data(), folder, env, inputFd, outPath_, errPath_);
    close(inputFd);
}

Child::~Child() {
    if (running()) {
        kill(pid_, SIGKILL);
        wait(std::chrono::seconds(10));
    }
}

bool Child::running() {
    if (done_ || pid_ <= 0) return false;
    int status = 0;
    if (waitpid(pid_, &status, WNOHANG) != pid_) return true;
    done_ = true;
    if (WIFEXITED(status)) exitCode_ = WEXITSTATUS(status);
    if (WIFSIGNALED(status)) signal_ = WTERMSIG(status);
    return false;
}

bool Child::wait(std::chrono::milliseconds timeout) {
    const auto end = std::chrono::steady_clock::now() + timeout;
    while (running()) {
        if (std::chrono::steady_clock::now() > end) return false;
        std::this_thread::sleep_for(kPollStep);
    }
    return true;
}

void Child::signal(int sig) {
    if (running()) kill(pid_, sig);
}

RunResult runToEnd(const std::vector<std::string>& argv, const std::string& folder,
                   std::chrono::milliseconds timeout, const std::string& input,
                   const std::map<std::string, std::string>& env) {
    Child child(argv, folder, env, input);
    RunResult result;
    result.finished = child.wait(timeout);
    result.exitCode = child.exitCode();
    result.out = child.out();
    result.err = child.err();
    return result;
}

int freeLoopbackPort() {
    int port = 0;
    close(boundLoopbackSocket(port));
    return port;
}

pid_t forkProcess(int (*body)(void*), void* argument) {
    const pid_t pid = fork();
    if (pid != 0) return pid;
    // Nothing may leave the child through the caller's frames: it would go on with the test.
    int status = kChildThrew;
    try {
        status = body(argument);
    } catch (...) {
    }
    _exit(status);
}

int waitForExit(pid_t pid, std::chrono::seconds limit) {
    const auto end = std::chrono::steady_clock::now() + limit;
    while (std::chrono::steady_clock::now() < end) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid)
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

NamingService::NamingService(int port) : port_(port != 0 ? port : freeLoopbackPort()) {
    start();
    // A free port can be taken (by a connection's local end) before omniNames binds it.
    for (int retry = 0; retry < 3 && port == 0 && !ok(); ++retry) {
        port_ = freeLoopbackPort();
        error_.clear();
        start();
    }
}

void NamingService::restartEmpty() {
    child_.reset();
    std::error_code ignored;
    for (const auto& entry : std::filesystem::directory_iterator(data_.path(), ignored))
        std::filesystem::remove_all(entry.path(), ignored);
    error_.clear();
    start();
}

void NamingService::start() {
    const std::string port = std::to_string(port_);
    child_ = std::make_unique<Child>(
        std::vector<std::string>{"omniNames", "-start", port, "-datadir", data_.path(),
                                 "-ORBendPoint", "giop:tcp:127.0.0.1:" + port},
        data_.path());
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (!connectsTo(port_)) {
        if (!child_->running()) {
            error_ = "omniNames ended at once: " + child_->err();
            return;
        }
        if (std::chrono::steady_clock::now() > end) {
            error_ = "omniNames does not answer on port " + port;
            return;
        }
        std::this_thread::sleep_for(kPollStep);
    }
}

bool takeScreenshot(Picture& picture, std::string& error) {
    const std::string display = xvfbDisplayName();
    if (display.empty()) {
        error = "no private display";
        return false;
    }
    TempDir folder;
    const RunResult shot =
        runToEnd({"import", "-display", display, "-window", "root", "-depth", "8", "ppm:shot.ppm"},
                 folder.path(), kPatience);
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
