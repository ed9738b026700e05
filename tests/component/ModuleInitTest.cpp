// Module initialisation when the framework refuses to create the component: the last line on
// standard error is "Component create failed." and the process ends abnormally.
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <rtm/Manager.h>

#include "app/Application.h"
#include "app/PelorinProfile.h"
#include "tests/component/PelorinRun.h"

namespace pelorin::testing {
namespace {

// The profile allows one instance; asking for a second one is refused by the framework.
void createTwoComponents(const std::string& folder) {
    if (chdir(folder.c_str()) != 0) return;
    unsetenv("DISPLAY");
    theApplication = new Application();
    char program[] = "pelorin";
    char robot[] = "robot.txt";
    char* argv[] = {program, robot, nullptr};
    if (!theApplication->checkArguments(2, argv)) return;
    char naming[] = "-o";
    char namingOff[] = "naming.enable:NO";
    char endpoint[] = "-o";
    char loopback[] = "corba.endpoints:127.0.0.1:";
    char* managerArgv[] = {program, naming, namingOff, endpoint, loopback, nullptr};
    RTC::Manager* manager = RTC::Manager::init(5, managerArgv);
    manager->activateManager();
    moduleInit(manager);
    moduleInit(manager);
}

TEST(ModuleInitDeathTest, RefusedCreationWritesTheMessageAndAborts) {
    GTEST_FLAG_SET(death_test_style, "threadsafe");
    TempDir folder;
    writeBarRobot(folder);
    EXPECT_EXIT(createTwoComponents(folder.path()), ::testing::KilledBySignal(SIGABRT),
                "Component create failed\\.\n$");
}

}  // namespace
}  // namespace pelorin::testing
