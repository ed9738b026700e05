#include "OrbFixture.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <thread>

namespace pelorin::test {
namespace {

bool acceptsConnections(int port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bool ok = connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    close(fd);
    return ok;
}

bool onPath(const std::string& program) {
    return std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) == 0;
}

// A socket bound to a free loopback port; its port number in `port`.
int boundLoopbackSocket(int& port) {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    socklen_t length = sizeof address;
    getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    port = ntohs(address.sin_port);
    return fd;
}

}  // namespace

int freeLoopbackPort() {
    int port = 0;
    close(boundLoopbackSocket(port));
    return port;
}

RefusingPort::RefusingPort() : fd_(boundLoopbackSocket(port_)) {}

RefusingPort::~RefusingPort() {
    close(fd_);
}

std::string makeTempDir() {
    char pattern[] = "/tmp/pelorin-rtc-XXXXXX";
    const char* made = mkdtemp(pattern);
    return made == nullptr ? "" : made;
}

std::string readFile(const std::string& path) {
    std::ifstream file(path);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

std::string hostName() {
    struct utsname names {};
    uname(&names);
    return names.nodename;
}

NamingService::NamingService(int port) {
    if (!onPath("omniNames")) {
        ADD_FAILURE() << "omniNames is not installed; the CORBA tests need it";
        throw std::runtime_error("omniNames missing");
    }
    dataDir_ = makeTempDir();
    port_ = port != 0 ? port : freeLoopbackPort();
    start();
}

void NamingService::restartEmpty() {
    kill(pid_, SIGKILL);
    waitForExit(pid_, 5.0);
    std::system(("rm -rf '" + dataDir_ + "'/*").c_str());
    start();
}

void NamingService::start() {
    std::string portText = std::to_string(port_);
    std::string endpoint = "giop:tcp:127.0.0.1:" + portText;
    std::string errors = dataDir_ + "/omniNames.err";
    // The child only calls async-signal-safe functions before exec: this process may already
    // run ORB threads.
    pid_ = fork();
    if (pid_ == 0) {
        int devNull = open("/dev/null", O_WRONLY);
        int errorFile = open(errors.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        dup2(devNull, STDOUT_FILENO);
        dup2(errorFile, STDERR_FILENO);
        execlp("omniNames", "omniNames", "-start", portText.c_str(), "-datadir", dataDir_.c_str(),
               "-ORBendPoint", endpoint.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    for (int attempt = 0; attempt < 100 && !acceptsConnections(port_); ++attempt) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    if (!acceptsConnections(port_)) {
        ADD_FAILURE() << "omniNames did not answer on " << address();
        throw std::runtime_error("omniNames not answering");
    }
}

NamingService::~NamingService() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        waitForExit(pid_, 5.0);
    }
    if (!dataDir_.empty()) std::system(("rm -rf '" + dataDir_ + "'").c_str());
}

pid_t forkProcess(int (*body)(void*), void* argument) {
    pid_t pid = fork();
    if (pid != 0) return pid;
    // Nothing may leave the child through the caller's frames: it would go on with the test.
    int status = kChildThrew;
    try {
        status = body(argument);
    } catch (...) {
    }
    _exit(status);
}

int waitForExit(pid_t pid, double seconds) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    while (std::chrono::steady_clock::now() < deadline) {
        int status = 0;
        if (waitpid(pid, &status, WNOHANG) == pid) {
            return WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
    kill(pid, SIGKILL);
    waitpid(pid, nullptr, 0);
    return -1;
}

}  // namespace pelorin::test
