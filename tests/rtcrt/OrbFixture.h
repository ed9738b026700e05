// Processes for CORBA tests: a private naming service and a component process, both on
// 127.0.0.1 and on ports chosen free at run time. Every process started here is ended by the
// destructor, by its own id.
#pragma once

#include <sys/types.h>

#include <string>
#include <vector>

namespace pelorin::test {

// A loopback TCP port that was free a moment ago.
int freeLoopbackPort();

// A loopback TCP port that refuses connections while this object lives: bound but not
// listening, so no other test running at the same time can take it.
class RefusingPort {
  public:
    RefusingPort();
    ~RefusingPort();
    RefusingPort(const RefusingPort&) = delete;
    RefusingPort& operator=(const RefusingPort&) = delete;
    int port() const { return port_; }

  private:
    int fd_ = -1;
    int port_ = 0;
};

class NamingService {
  public:
    // On `port`, or a free one when 0. Fails the test (and throws) if omniNames is missing or
    // does not answer.
    explicit NamingService(int port = 0);
    ~NamingService();
    // Kills the service with SIGKILL and starts a new one on the same port with an empty data
    // directory: every binding is gone.
    void restartEmpty();
    int port() const { return port_; }
    std::string address() const { return "127.0.0.1:" + std::to_string(port_); }

  private:
    void start();
    int port_ = 0;
    pid_t pid_ = -1;
    std::string dataDir_;
};

// Forks; the child runs `body` and exits with its result, or with kChildThrew when `body`
// throws. Must not be called while the calling process has an ORB: the child would inherit it
// without its threads.
constexpr int kChildThrew = 125;
pid_t forkProcess(int (*body)(void*), void* argument);
// Waits for the child to end; its exit status, or -1 when it did not end within `seconds`
// (it is then killed).
int waitForExit(pid_t pid, double seconds);

std::string makeTempDir();
std::string readFile(const std::string& path);
std::string hostName();

}  // namespace pelorin::test
