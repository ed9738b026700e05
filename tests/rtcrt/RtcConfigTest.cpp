// Configuration handling of the bundled runtime: properties, rtc.conf and command line.
#include <gtest/gtest.h>

#include <sstream>
#include <string>
#include <vector>

#include "coil/Properties.h"
#include "rtcrt/ManagerConfig.h"
#include "rtcrt/NamingRegistrar.h"

namespace {

using pelorin::rtcrt::buildManagerConfig;
using pelorin::rtcrt::parseManagerArguments;

// clang-format off
const char* const kProfile[] = {
    "implementation_id", "Pelorin", "type_name", "Pelorin", "description",
    "${rtcParam.description}", "exec_cxt.periodic.rate", "1.0", "", "after.end", "ignored",
};
// clang-format on

TEST(PropertiesTest, ArrayStopsAtEmptyKeyOrCountValueHidesDefaultMergeKeepsOrder) {
    coil::Properties profile(kProfile, 2147483647);
    EXPECT_EQ(profile.getProperty("type_name"), "Pelorin");
    EXPECT_EQ(profile["description"], "${rtcParam.description}");
    EXPECT_EQ(profile.getProperty("after.end"), "");
    EXPECT_EQ(profile.size(), 4u);

    coil::Properties firstPair(kProfile, 2);
    EXPECT_EQ(firstPair.propertyNames(), std::vector<std::string>{"implementation_id"});

    // A value hides the default; a merge keeps the order.
    coil::Properties base(kProfile);
    EXPECT_EQ(base.getProperty("missing", "fallback"), "fallback");
    coil::Properties override;
    override.setProperty("exec_cxt.periodic.rate", "20");
    override.setProperty("extra", "x");
    base << override;
    EXPECT_EQ(base.getProperty("exec_cxt.periodic.rate"), "20");
    EXPECT_EQ(base.getDefault("exec_cxt.periodic.rate"), "1.0");
    std::vector<std::string> names = base.propertyNames();
    EXPECT_EQ(names.front(), "implementation_id");
    EXPECT_EQ(names.back(), "extra");
}

TEST(PropertiesTest, LoadsFileSyntax) {
    std::istringstream text(
        "# comment\n"
        "! also a comment\n"
        "corba.nameservers: host1:2809, host2\r\n"
        "naming.formats = %h.host_cxt/%n.rtc\n"
        "logger.enable NO\n"
        "long.value: first \\\n"
        "   second\n"
        "   \n"
        "key.only\n");
    coil::Properties properties;
    properties.load(text);
    EXPECT_EQ(properties.getProperty("corba.nameservers"), "host1:2809, host2");
    EXPECT_EQ(properties.getProperty("naming.formats"), "%h.host_cxt/%n.rtc");
    EXPECT_EQ(properties.getProperty("logger.enable"), "NO");
    EXPECT_EQ(properties.getProperty("long.value"), "first second");
    EXPECT_NE(properties.hasKey("key.only"), nullptr);
    EXPECT_EQ(properties.hasKey("absent"), nullptr);
}

TEST(ManagerConfigTest, OperandsAreLeftBadOptionsReportedTheRestUsed) {
    const char* argv[] = {"pelorin",   "robot.txt", "-o",   "naming.enable: NO",
                          "-fmy.conf", "-p",        "2810", "-x",
                          "-p",        "28x"};
    auto args = parseManagerArguments(10, const_cast<char**>(argv));
    EXPECT_EQ(args.configFile, "my.conf");
    EXPECT_EQ(args.operands, std::vector<std::string>{"robot.txt"});
    EXPECT_EQ(args.problems, (std::vector<std::string>{"pelorin: invalid option -- 'x'",
                                                       "-p: not a number: [28x]"}));
    coil::Properties config = buildManagerConfig(args, nullptr);
    EXPECT_EQ(config.getProperty("naming.enable"), "NO");
    EXPECT_EQ(config.getProperty("corba.endpoints"), ":2810");
}

TEST(ManagerConfigTest, PrecedenceDefaultsFileSystemOptions) {
    std::istringstream file(
        "corba.nameservers: 127.0.0.1:3000\n"
        "logger.log_level: DEBUG\n"
        "manager.pid: 1\n"
        "exec_cxt.periodic.rate: 50\n");
    const char* argv[] = {"pelorin", "-o", "logger.log_level:TRACE"};
    coil::Properties config =
        buildManagerConfig(parseManagerArguments(3, const_cast<char**>(argv)), &file);
    EXPECT_EQ(config.getProperty("corba.nameservers"), "127.0.0.1:3000");   // file over default
    EXPECT_EQ(config.getProperty("logger.log_level"), "TRACE");             // option over file
    EXPECT_NE(config.getProperty("manager.pid"), "1");                      // system over file
    EXPECT_EQ(config.getProperty("naming.formats"), "%h.host_cxt/%n.rtc");  // default kept
    EXPECT_EQ(config.getProperty("exec_cxt.periodic.rate"), "50");

    // Without a file the manager's rate is 1000 Hz, as the framework's.
    coil::Properties bare =
        buildManagerConfig(parseManagerArguments(1, const_cast<char**>(argv)), nullptr);
    EXPECT_EQ(bare.getProperty("exec_cxt.periodic.rate"), "1000");
}

TEST(NamingFormatTest, PlaceholdersAndServerUris) {
    coil::Properties component;
    component.setProperty("instance_name", "Pelorin0");
    component.setProperty("implementation_id", "Pelorin");
    component.setProperty("type_name", "Pelorin");
    component.setProperty("vendor", "Tarnwell");
    coil::Properties manager;
    manager.setProperty("os.hostname", "box.example.com");
    EXPECT_EQ(pelorin::rtcrt::formatComponentName("%h.host_cxt/%n.rtc", component, manager),
              "box.example.com.host_cxt/Pelorin0.rtc");
    EXPECT_EQ(pelorin::rtcrt::formatComponentName("%V/%t/%N%%.rtc", component, manager),
              "Tarnwell/Pelorin/0%.rtc");
    EXPECT_EQ(pelorin::rtcrt::nameServerUri("localhost"), "corbaloc:iiop:localhost/NameService");
    EXPECT_EQ(pelorin::rtcrt::nameServerUri("corbaname::h:1"), "corbaname::h:1");
}

}  // namespace
