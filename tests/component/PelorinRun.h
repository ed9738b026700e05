// One Pelorin process for an end-to-end test: a working folder with a small robot (a red bar
// turned about Z by value 0 and slid along X by value 1), its rtc.conf pointing at a private
// naming service, and pelorin-send to talk to it.
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "tests/component/EndToEnd.h"

namespace pelorin::testing {

std::string pelorinProgram();
std::string sendProgram();

// Writes the robot (robot.txt and its mesh bar.stl) into `folder`.
void writeBarRobot(const TempDir& folder);
// The environment Pelorin runs in, with the given configuration file.
std::map<std::string, std::string> pelorinEnvironment(const std::string& rtcConf);

// The bar on the private display. A quarter turn changes far more pixels than kTurned, the bar
// at rest covers far more red pixels than kBarPixels, and two pictures of one pose differ in at
// most kSame pixels (none, in practice).
constexpr long kTurned = 2000;
constexpr long kBarPixels = 2000;
constexpr long kSame = 50;

Picture screenshot();  // a failed screenshot fails the test
// Waits up to 20 s until the screen is `near` (or, with near false, far from) `reference`.
bool screenBecomes(const Picture& reference, bool near, Picture* seen = nullptr);
// Calls `sendRest` and returns the screen once the bar is drawn and holds still (the window may
// still be appearing, or its first frame on the way).
Picture restPose(const std::function<void()>& sendRest);

class PelorinRun {
  public:
    // Writes the robot and rtc.conf; `preactivate` adds the component to
    // manager.components.preactivation.
    explicit PelorinRun(const NamingService& naming, bool preactivate = false);

    const TempDir& folder() const { return folder_; }

    // Starts `pelorin robot.txt` and waits until its name answers in the naming service.
    // Returns an empty string, or why it did not come up. With `options`, they come before
    // robot.txt and rtc.conf is not named in the environment.
    std::string start(const std::vector<std::string>& options = {});
    Child& process() { return *pelorin_; }

    // Runs pelorin-send with `-p <naming port> --linger 0.2` and the given arguments.
    RunResult send(const std::vector<std::string>& args, const std::string& input = "") const;
    std::string state() const;  // "ACTIVE", ... or the tool's error text

  private:
    const NamingService& naming_;
    TempDir folder_;
    std::unique_ptr<Child> pelorin_;
};

}  // namespace pelorin::testing
