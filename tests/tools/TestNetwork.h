// Hosts for tests that span machines: each host is a network namespace of its own, joined to
// others by veth pairs with addresses the test chooses.
//
// Each namespace is held open by a child process of the test; the namespaces, their links and
// everything running in them go away when the TestNetwork is destroyed or the test process
// dies, whatever state the test is in. Nothing is ever created in the machine's own network
// namespace, and a namespace has no route beyond the links made here, so no program run in one
// can reach any other address. Needs root (CAP_SYS_ADMIN, CAP_NET_ADMIN) and iproute2's `ip`.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "tests/component/EndToEnd.h"

namespace pelorin::testing {

class TestNetwork {
  public:
    TestNetwork();
    ~TestNetwork();
    TestNetwork(const TestNetwork&) = delete;
    TestNetwork& operator=(const TestNetwork&) = delete;

    // Empty when hosts can be made; otherwise why not (no privilege, no `ip`), for a skip.
    const std::string& unavailable() const { return unavailable_; }

    // A new host with its loopback up and IPv6 off; returns its index, or -1 and sets
    // `error`.
    int addHost(std::string& error);

    // Joins two hosts by a veth pair: an interface `nameA` with `addressA` ("192.0.2.1/24") on
    // host a, `nameB` with `addressB` on host b. False with `error` set on failure.
    bool link(int a, const std::string& nameA, const std::string& addressA, int b,
              const std::string& nameB, const std::string& addressB, std::string& error);

    // `argv` run on `host`: prefixed so that the program enters the host's namespace.
    std::vector<std::string> on(int host, const std::vector<std::string>& argv) const;

  private:
    bool runOn(int host, const std::vector<std::string>& argv, std::string& error);

    TempDir folder_;
    std::vector<std::unique_ptr<Child>> holders_;
    std::string unavailable_;
};

}  // namespace pelorin::testing
