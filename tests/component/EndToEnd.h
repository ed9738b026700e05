// Helpers for tests that run processes: a temporary working folder, child processes with
// captured output, a private naming service on a loopback port; and for end-to-end tests of the
// real programs, screenshots of the private X display.
//
// Everything stays on 127.0.0.1 and on the display started by the test process itself.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "tests/support/TempDir.h"

namespace pelorin::testing {

std::string readFile(const std::string& path);
// The machine's node name, which the framework's default names start with ("<node>.host_cxt/").
std::string hostName();

// A child process whose standard output and error go to files in `folder`.
class Child {
  public:
    Child(const std::vector<std::string>& argv, const std::string& folder,
          const std::map<std::string, std::string>& env = {}, const std::string& input = "");
    ~Child();  // kills a child that is still running
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    pid_t pid() const { return pid_; }
    bool running();
    // Waits up to `timeout`; true when the child ended. Its status is then in exitCode() or
    // termSignal().
    bool wait(std::chrono::milliseconds timeout);
    int exitCode() const { return exitCode_; }  // -1 unless it exited
    int termSignal() const { return signal_; }  // 0 unless a signal ended it
    void signal(int sig);
    std::string out() const { return readFile(outPath_); }
    std::string err() const { return readFile(errPath_); }

  private:
    pid_t pid_ = -1;
    bool done_ = false;
    int exitCode_ = -1;
    int signal_ = 0;
    std::string outPath_;
    std::string errPath_;
};

// Runs a program to its end (at most `timeout`) and returns it.
struct RunResult {
    bool finished = false;
    int exitCode = -1;
    std::string out;
    std::string err;
};
RunResult runToEnd(const std::vector<std::string>& argv, const std::string& folder,
                   std::chrono::milliseconds timeout, const std::string& input = "",
                   const std::map<std::string, std::string>& env = {});

// How long a test waits for something that must happen: long enough that only a hang reaches
// it on a machine busy with other work.
inline constexpr std::chrono::seconds kPatience{60};

// A TCP port on 127.0.0.1 that was free a moment ago.
int freeLoopbackPort();

// Forks; the child runs `body` and exits with its result, or with kChildThrew when `body`
// throws. Must not be called while the calling process has an ORB: the child would inherit it
// without its threads.
constexpr int kChildThrew = 125;
pid_t forkProcess(int (*body)(void*), void* argument);
// Waits for a forked child to end; its exit status, 128 + the signal that ended it, or -1 when
// it did not end within `limit` (it is then killed).
int waitForExit(pid_t pid, std::chrono::seconds limit = kPatience);

// omniNames on a loopback port (a free one when 0) with its data in a folder of its own.
class NamingService {
  public:
    explicit NamingService(int port = 0);
    bool ok() const { return error_.empty(); }
    const std::string& error() const { return error_; }
    int port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }
    // Kills the service and starts a new one on the same port with no data: every binding is
    // gone. Safe while this process runs an ORB.
    void restartEmpty();

  private:
    void start();
    TempDir data_;
    int port_ = 0;
    std::unique_ptr<Child> child_;
    std::string error_;
};

// An RGB picture of the whole private display, read through ImageMagick's import.
struct Picture {
    int width = 0;
    int height = 0;
    std::vector<std::uint8_t> rgb;
};
bool takeScreenshot(Picture& picture, std::string& error);
// Number of pixels whose colour differs by more than a small tolerance in any channel; pictures
// of different sizes count as entirely different.
long differingPixels(const Picture& a, const Picture& b);
// Number of clearly red pixels (red well above green and blue).
long redPixels(const Picture& picture);

}  // namespace pelorin::testing
