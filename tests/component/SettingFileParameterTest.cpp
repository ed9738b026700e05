// The setting file as a configuration parameter of the running program, written through the SDO
// Configuration interface the way configuration tools write it: a file that reads replaces the
// model on screen, one that does not leaves it and says why.
#include <gtest/gtest.h>

#include <thread>

#include "rtm/RTC.h"
#include "tests/component/PelorinRun.h"
#include "tests/support/XvfbDisplay.h"

namespace pelorin::testing {
namespace {

using namespace std::chrono_literals;

std::string settingFileOf(const SDOPackage::ConfigurationSet& set) {
    for (CORBA::ULong i = 0; i < set.configuration_data.length(); ++i) {
        const char* text = nullptr;
        if (std::string(set.configuration_data[i].name.in()) == "setting_file" &&
            (set.configuration_data[i].value >>= text)) {
            return text;
        }
    }
    return "(none)";
}

// Waits up to 20 s until the red bar is no longer drawn (the axes alone stay red).
bool redBarGoes(Picture* seen) {
    const auto end = std::chrono::steady_clock::now() + 20s;
    while (std::chrono::steady_clock::now() < end) {
        *seen = screenshot();
        if (redPixels(*seen) < kBarPixels / 4) return true;
        std::this_thread::sleep_for(100ms);
    }
    return false;
}

// A tool's handle on Pelorin0's configuration, found through the private naming service.
struct ConfigurationTool {
    explicit ConfigurationTool(int namingPort) {
        int argc = 0;
        orb = CORBA::ORB_init(argc, nullptr);
        const std::string name = "corbaname::127.0.0.1:" + std::to_string(namingPort) + "#" +
                                 hostName() + ".host_cxt/Pelorin0.rtc";
        CORBA::Object_var object = orb->string_to_object(name.c_str());
        RTC::RTObject_var component = RTC::RTObject::_narrow(object);
        configuration = component->get_configuration();
    }
    ~ConfigurationTool() {
        configuration = SDOPackage::Configuration::_nil();
        orb->destroy();
    }
    // Writes `file` as the default set's setting_file and makes the set active, as configuration
    // tools do; false when a call is refused. A framework leaves no set active between the two
    // calls.
    bool setSettingFile(const std::string& file) {
        SDOPackage::ConfigurationSet_var set = configuration->get_configuration_set("default");
        set->configuration_data.length(1);
        set->configuration_data[0].name = "setting_file";
        set->configuration_data[0].value <<= file.c_str();
        return configuration->set_configuration_set_values(set.in()) &&
               configuration->activate_configuration_set("default");
    }
    std::string settingFile() {
        SDOPackage::ConfigurationSet_var set = configuration->get_configuration_set("default");
        return settingFileOf(set.in());
    }
    CORBA::ORB_var orb;
    SDOPackage::Configuration_var configuration;
};

TEST(SettingFileParameterTest, WritingTheParameterReadsTheNewFileAndABadOneKeepsTheModel) {
    std::string error;
    ASSERT_TRUE(ensureXvfbDisplay(&error)) << error;
    NamingService naming;
    ASSERT_TRUE(naming.ok()) << naming.error();
    PelorinRun run(naming);
    ASSERT_EQ(run.start(), "");
    restPose([] {});  // the red bar is drawn
    std::string robot = readFile(run.folder().file("robot.txt"));
    robot.replace(robot.find("COLOR = 1,0,0"), 13, "COLOR = 0,0,1");
    run.folder().write("blue.txt", robot);
    run.folder().write("broken.txt", "BEGIN PARTS = ROOT\nEND CHILD\n");

    ConfigurationTool tool(naming.port());
    SDOPackage::ConfigurationSet_var active = tool.configuration->get_active_configuration_set();
    EXPECT_EQ(std::string(active->id.in()), "default");
    EXPECT_EQ(settingFileOf(active.in()), "robot.txt");

    ASSERT_TRUE(tool.setSettingFile("blue.txt"));
    Picture blueBar;
    ASSERT_TRUE(redBarGoes(&blueBar)) << run.process().out();
    EXPECT_EQ(tool.settingFile(), "blue.txt");

    ASSERT_TRUE(tool.setSettingFile("broken.txt"));
    const std::string out = run.process().out();
    EXPECT_NE(out.find("Line:2にて構文エラー"), std::string::npos) << out;
    EXPECT_NE(out.find("設定ファイル[broken.txt]の 2 行目を読み直せませんでした"),
              std::string::npos)
        << out;
    EXPECT_TRUE(screenBecomes(blueBar, true)) << "the blue bar did not stay";
    EXPECT_TRUE(run.process().running());
}

}  // namespace
}  // namespace pelorin::testing
