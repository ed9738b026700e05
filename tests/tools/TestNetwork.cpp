#include "tests/tools/TestNetwork.h"

#include <unistd.h>

#include <thread>

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

std::string netnsOf(pid_t pid) {
    char target[64] = {};
    const std::string link = "/proc/" + std::to_string(pid) + "/ns/net";
    const ssize_t length = readlink(link.c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<std::size_t>(length)) : "";
}

}  // namespace

TestNetwork::TestNetwork() {
    const RunResult probe =
        runToEnd({"unshare", "--net", "ip", "link", "set", "lo", "up"}, folder_.path(), kPatience);
    if (!probe.finished || probe.exitCode != 0)
        unavailable_ = "network namespaces cannot be made here (needs root and iproute2): " +
                       (probe.err.empty() ? "status " + std::to_string(probe.exitCode) : probe.err);
}

TestNetwork::~TestNetwork() {
    // Killing the holders ends the namespaces; the veth pairs go with them.
    holders_.clear();
}

int TestNetwork::addHost(std::string& error) {
    // `unshare` enters a new namespace and becomes `sleep`, which keeps it open; the child dies
    // with the test process.
    auto holder = std::make_unique<Child>(
        std::vector<std::string>{"unshare", "--net", "sleep", "infinity"}, folder_.path());
    const std::string own = netnsOf(getpid());
    const auto end = std::chrono::steady_clock::now() + kPatience;
    while (netnsOf(holder->pid()) == own || netnsOf(holder->pid()).empty()) {
        if (!holder->running() || std::chrono::steady_clock::now() > end) {
            error = "the namespace holder did not start: " + holder->err();
            return -1;
        }
        std::this_thread::sleep_for(10ms);
    }
    holders_.push_back(std::move(holder));
    const int host = static_cast<int>(holders_.size()) - 1;
    // IPv6 off: the interfaces then carry only the addresses given here.
    if (!runOn(host,
               {"sh", "-c",
                "echo 1 > /proc/sys/net/ipv6/conf/default/disable_ipv6; "
                "echo 1 > /proc/sys/net/ipv6/conf/all/disable_ipv6; true"},
               error) ||
        !runOn(host, {"ip", "link", "set", "lo", "up"}, error))
        return -1;
    return host;
}

bool TestNetwork::link(int a, const std::string& nameA, const std::string& addressA, int b,
                       const std::string& nameB, const std::string& addressB, std::string& error) {
    const std::string peerPid = std::to_string(holders_.at(b)->pid());
    return runOn(a,
                 {"ip", "link", "add", nameA, "type", "veth", "peer", "name", nameB, "netns",
                  peerPid},
                 error) &&
           runOn(a, {"ip", "address", "add", addressA, "dev", nameA}, error) &&
           runOn(a, {"ip", "link", "set", nameA, "up"}, error) &&
           runOn(b, {"ip", "address", "add", addressB, "dev", nameB}, error) &&
           runOn(b, {"ip", "link", "set", nameB, "up"}, error);
}

std::vector<std::string> TestNetwork::on(int host, const std::vector<std::string>& argv) const {
    std::vector<std::string> prefixed = {
        "nsenter", "--net=/proc/" + std::to_string(holders_.at(host)->pid()) + "/ns/net", "--"};
    prefixed.insert(prefixed.end(), argv.begin(), argv.end());
    return prefixed;
}

bool TestNetwork::runOn(int host, const std::vector<std::string>& argv, std::string& error) {
    const RunResult result = runToEnd(on(host, argv), folder_.path(), kPatience);
    if (result.finished && result.exitCode == 0) return true;
    error = "failed on host " + std::to_string(host) + ": " + argv[0] + " " +
            (argv.size() > 1 ? argv[1] : "") + ": " + result.err;
    return false;
}

}  // namespace pelorin::testing
