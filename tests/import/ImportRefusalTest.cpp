// Bad input: every refusal names the file (and line, link or URI) and what is wrong, and leaves
// no output folder behind; an existing output folder is kept unless replacing is asked for.
#include <gtest/gtest.h>

#include <filesystem>

#include "tests/support/RunWithoutDisplay.h"
#include "tests/support/TempDir.h"
#include "tools/import/ImportError.h"
#include "tools/import/RobotWriter.h"

namespace pelorin {
namespace {

using testing::TempDir;

const char* const kArm =
    "<robot name=\"arm\">\n"
    "<link name=\"base\"/>\n"
    "<link name=\"tip\"><visual><geometry><mesh filename=\"%s\"/></geometry></visual></link>\n"
    "<joint name=\"j\" type=\"fixed\"><parent link=\"base\"/><child link=\"tip\"/></joint>\n"
    "</robot>\n";

std::string armWithMesh(const std::string& uri) {
    char text[600];
    std::snprintf(text, sizeof text, kArm, uri.c_str());
    return text;
}

struct Refusal {
    const char* label;
    std::string urdf;
    std::vector<std::string> expected;  // parts of the message, "DIR" standing for the folder
};

std::vector<Refusal> refusals() {
    return {
        {"not XML",
         "<robot name=\"a\">\n<link name=\"b\">\n</robot>\n",
         {"robot.urdf:3: ", "not XML"}},
        {"not a URDF",
         "<?xml version=\"1.0\"?>\n<model/>\n",
         {"robot.urdf:2: ", "<model>, not <robot>"}},
        {"xacro",
         "<robot name=\"a\" xmlns:xacro=\"http://www.ros.org/wiki/xacro\"/>",
         {"robot.urdf: ", "xacro"}},
        {"several roots",
         "<robot name=\"a\">\n<link name=\"x\"/>\n<link name=\"y\"/>\n</robot>",
         {"robot.urdf: ", "several root links: 'x' (line 2), 'y' (line 3)"}},
        {"unknown link",
         "<robot name=\"a\">\n<link name=\"x\"/>\n<joint name=\"j\" type=\"fixed\">"
         "<parent link=\"x\"/><child link=\"ghost\"/></joint>\n</robot>",
         {"robot.urdf:3: ", "joint 'j' names unknown link 'ghost'"}},
        {"cycle",
         "<robot name=\"a\">\n<link name=\"r\"/>\n<link name=\"p\"/>\n<link name=\"q\"/>\n"
         "<joint name=\"a\" type=\"fixed\"><parent link=\"p\"/><child link=\"q\"/></joint>\n"
         "<joint name=\"b\" type=\"fixed\"><parent link=\"q\"/><child "
         "link=\"p\"/></joint>\n</robot>",
         {"robot.urdf:3: ", "cycle through link 'p'"}},
        {"no parent",
         "<robot name=\"a\">\n<link name=\"x\"/>\n<link name=\"y\"/>\n<joint name=\"j\" "
         "type=\"fixed\"><child link=\"y\"/></joint></robot>",
         {"robot.urdf:4: ", "joint 'j' needs <parent link="}},
        {"refused by urdfdom",
         "<robot name=\"a\">\n<link name=\"x\"/>\n<link name=\"y\"/>\n<joint name=\"j\" "
         "type=\"wobbly\"><parent link=\"x\"/><child link=\"y\"/></joint></robot>",
         {"robot.urdf:4: ", "not a valid URDF: ", "wobbly"}},
        {"missing mesh",
         armWithMesh("meshes/none.stl"),
         {"robot.urdf:3: link 'tip': ",
          "mesh file not found: meshes/none.stl (DIR/meshes/none.stl)"}},
        {"unknown package",
         armWithMesh("package://nowhere/a.stl"),
         {"robot.urdf:3: link 'tip': ",
          "unknown package in package://nowhere/a.stl; searched: DIR/pkgs"}},
        {"unreadable mesh",
         armWithMesh("junk.stl"),
         {"robot.urdf:3: link 'tip': junk.stl: ", "not readable"}},
    };
}

TEST(ImportRefusal, BadInputIsNamedWithItsPlaceAndLeavesNoFolder) {
    for (const Refusal& r : refusals()) {
        TempDir dir;
        std::filesystem::create_directory(dir.file("pkgs"));
        dir.write("junk.stl", "solid nothing here\nthat is a triangle\n");
        ImportOptions options;
        options.urdf = dir.write("robot.urdf", r.urdf);
        options.outDir = dir.file("out");
        options.packagePaths.push_back(dir.file("pkgs"));
        std::string message;
        try {
            importRobot(options);
        } catch (const ImportError& error) {
            message = error.what();
        }
        for (std::string part : r.expected) {
            if (const auto at = part.find("DIR"); at != std::string::npos)
                part.replace(at, 3, dir.path());
            EXPECT_NE(message.find(part), std::string::npos) << r.label << ": " << message;
        }
        EXPECT_EQ(message.rfind(dir.file("robot.urdf"), 0), 0u) << r.label << ": " << message;
        // Nothing but the inputs is left: no output folder, no partial one beside it.
        EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3) << r.label;
    }
}

TEST(ImportRefusal, AnExistingFolderIsReplacedOnlyWhenAskedTo) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("out"));
    dir.write("out/mine.txt", "keep");
    ImportOptions options;
    options.urdf = dir.write("robot.urdf", "<robot name=\"a\"><link name=\"x\"/></robot>");
    options.outDir = dir.file("out");
    EXPECT_THROW(importRobot(options), ImportError);
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/mine.txt")));
    options.force = true;
    importRobot(options);
    EXPECT_FALSE(std::filesystem::exists(dir.file("out/mine.txt")));
    EXPECT_TRUE(std::filesystem::exists(dir.file("out/robot.txt")));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 2);
}

}  // namespace
}  // namespace pelorin

namespace pelorin {
namespace {

// The program as a user runs it: the project's sample imports (status 0, the mimic joint's
// warning on the console); a second run into the same folder, an unknown unit and a missing
// file end with status 1 and say why.
TEST(ImportProgram, SampleImportsAndFaultsEndWithStatusOne) {
    TempDir dir;
    const std::string sample = PELORIN_SOURCE_DIR "/samples/urdf-arm/urdf-arm.urdf";
    const auto run = [&](const std::string& arguments) {
        return testing::runWithoutDisplay(PELORIN_IMPORT, arguments, dir.path());
    };
    testing::RunResult result = run("'" + sample + "' out");
    EXPECT_EQ(result.status, 0) << result.output;
    EXPECT_NE(result.output.find("warning: joint 'grip_mirror' mimics 'grip'"), std::string::npos)
        << result.output;
    EXPECT_NE(result.output.find("wrote out/urdf-arm.txt: 9 meshes, 6 data-port values"),
              std::string::npos)
        << result.output;
    const std::pair<std::string, std::string> faults[] = {
        {"'" + sample + "' out", "pelorin-import: out: exists already"},
        {"--unit km '" + sample + "' other", "--unit takes mm or m, not: km"},
        {"missing.urdf other", "pelorin-import: missing.urdf: cannot read the file"},
    };
    for (const auto& [arguments, message] : faults) {
        result = run(arguments);
        EXPECT_EQ(result.status, 1) << arguments;
        EXPECT_NE(result.output.find(message), std::string::npos) << result.output;
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("other")));
}

}  // namespace
}  // namespace pelorin
