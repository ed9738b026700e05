// The start-up object: the argument table with its console bytes, start() on a good file (a bad
// one ends the program: StartFailureTest), the hand-over of received values as whole sets, and
// reloads (the reload key on a window: ReloadKeyTest).
#include "app/Application.h"

#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <thread>

#include "app/LoadedModel.h"
#include "scene/LiveValues.h"
#include "scene/PosedScene.h"
#include "scene/RotateTransform.h"
#include "scene/SceneRevision.h"
#include "scene/TranslateTransform.h"
#include "tests/setting/ParserHarness.h"
#include "tests/support/SpecialFiles.h"

namespace pelorin::test {
namespace {

// Captures the console for the life of the object.
struct ConsoleCapture {
    explicit ConsoleCapture(TextEncoding encoding = TextEncoding::Utf8) {
        Console::redirect(&out, &err, encoding);
    }
    ~ConsoleCapture() { Console::redirect(nullptr, nullptr); }
    StringSink out;
    StringSink err;
};

struct ArgumentCase {
    std::vector<std::string> args;  // after the program name
    std::string console;            // after "RTM起動\n"
    bool accepted;
    std::string errors = "";                // the framework parser's words for a bad option
    std::vector<std::string> manager = {};  // after the program name
};

TEST(ApplicationTest, CheckArgumentsFollowsTheArgumentTable) {
    TempDir dir;
    const std::string file = dir.write("robot.txt", "");
    const std::string absent = dir.file("absent.txt");
    const std::string fifo = dir.file("fifo.txt");
    ASSERT_TRUE(testing::makeFifo(fifo));
    const std::string notOpened = "設定ファイル[" + absent + "]が開けません\n";
    const std::string notRegular = "]は通常のファイルではありません\n";
    std::string badLetters;
    for (const char letter : std::string("DEBUG"))
        badLetters += std::string("pelorin: invalid option -- '") + letter + "'\n";
    const std::vector<ArgumentCase> cases = {
        {{}, "引数が不正です\n", false},
        {{file, file, file}, "引数が不正です\n", false},
        {{file}, "", true},
        {{absent}, notOpened, false},
        {{"-debug"}, "設定ファイル[-debug]が開けません\n", false},
        {{"-DEBUG", file}, "", false, badLetters},
        {{"-debug", file}, "デバッグモード\n", true},
        {{fifo}, "設定ファイル[" + fifo + notRegular, false},
        {{dir.file("")}, "設定ファイル[" + dir.file("") + notRegular, false},
        // The framework's options come first and go to the manager alone.
        {{"-o", "", "-debug", file}, "デバッグモード\n", true, "", {"-o", ""}},
        {{"-ad", "-f", file, "-p", "2810", "-oc:d", file},
         "",
         true,
         "",
         {"-a", "-d", "-f", file, "-p", "2810", "-o", "c:d"}},
        {{"-z", file}, "", false, "pelorin: invalid option -- 'z'\n"},
        {{"-f"}, "", false, "pelorin: option requires an argument -- 'f'\n"},
        {{"-f", file}, "引数が不正です\n", false},
        {{"-f", fifo, file}, "rtc.conf[" + fifo + notRegular, false},
    };
    // A FIFO would hold the check until a writer came; the unblocker turns a wait into a
    // failure.
    const testing::FifoUnblocker unblocker(fifo, std::chrono::seconds(2));
    for (const ArgumentCase& c : cases) {
        ConsoleCapture console;
        Application app;
        std::vector<std::string> storage = {"pelorin"};
        storage.insert(storage.end(), c.args.begin(), c.args.end());
        std::vector<char*> argv;
        for (std::string& arg : storage) argv.push_back(arg.data());
        EXPECT_EQ(app.checkArguments(static_cast<int>(argv.size()), argv.data()), c.accepted)
            << c.console;
        EXPECT_EQ(console.out.text(), "RTM起動\n" + c.console);
        EXPECT_EQ(console.err.text(), c.errors);
        EXPECT_EQ(app.settingFilePath(), c.accepted ? file : "");
        if (c.accepted) {
            std::vector<std::string> manager = {"pelorin"};
            manager.insert(manager.end(), c.manager.begin(), c.manager.end());
            EXPECT_EQ(app.managerArguments(), manager);
        }
    }
}

const char* const kValueRobot =
    "BEGIN PARTS = ROOT\n"
    "TRANS = ROTATION(YAW,Z,5)\n"
    "TRANS = TRANSLATION(LIFT,1,2,3)\n"
    "END PARTS\n"
    "BEGIN DATAPORT\n"
    "ROOT.YAW\n"
    "ROOT.LIFT.Z\n"
    "ROOT.YAW\n"
    "END DATAPORT\n";

// An Application started on a robot (kValueRobot unless told) inside a scratch directory.
struct StartedApp {
    TempDir dir;
    WorkingDirectory inDir{dir.path()};
    ConsoleCapture console;
    Application app;
    RotateTransform* yaw = nullptr;
    TranslateTransform* lift = nullptr;

    explicit StartedApp(const char* robot = kValueRobot) {
        dir.write("robot.txt", robot);
        char program[] = "pelorin";
        char path[] = "robot.txt";
        char* argv[] = {program, path};
        EXPECT_TRUE(app.checkArguments(2, argv));
        app.setSceneShower([this](Parts* root, const LiveValues* values) {
            return root == app.root() && values == app.liveValues();
        });
        EXPECT_TRUE(app.start());
        const TransformChain& chain = app.root()->inputTransforms();
        yaw = dynamic_cast<RotateTransform*>(chain.find("YAW"));
        lift = dynamic_cast<TranslateTransform*>(chain.find("LIFT"));
    }

    // The set a frame would be posed with now.
    PoseValues current() const {
        PoseValues values;
        app.liveValues()->snapshot(values);
        return values;
    }
};

TEST(ApplicationTest, StartReadsTheFileAndSetValuesWritesInIndexOrderWithinTheTable) {
    StartedApp s;
    ASSERT_TRUE(s.yaw && s.lift);
    EXPECT_EQ(s.app.valueTableSize(), 3U);
    EXPECT_EQ(s.console.out.text(), "RTM起動\n設定ファイルのパースに成功...\n");
    EXPECT_EQ(splitLines(decodeCp932(readFile(s.dir.file("PASER_LOG.txt")))).at(1),
              "読み込み元\trobot.txt");
    Application notStarted;  // has no table to write into
    const double one[] = {1.0};
    notStarted.setValues(one, 1);
    EXPECT_EQ(notStarted.valueTableSize(), 0U);
    const std::uint64_t before = sceneRevision();
    const double none[] = {99.0};
    s.app.setValues(none, 0);
    s.app.setValues(none, -1);
    EXPECT_EQ(s.current(), (PoseValues{5.0, 3.0})) << "the file's values, one per driven number";
    EXPECT_EQ(sceneRevision(), before) << "nothing changed, nothing to redraw";

    // Entries 0 and 2 share the YAW cell: the later index wins. Values past the table are
    // ignored.
    const double values[] = {10.0, 20.0, 30.0, 40.0, 50.0};
    s.app.setValues(values, 5);
    EXPECT_DOUBLE_EQ(s.yaw->angle(s.current()), 30.0);
    EXPECT_DOUBLE_EQ(s.lift->offset(s.current()).z, 20.0);
    EXPECT_DOUBLE_EQ(s.lift->offset(s.current()).x, 1.0);
    EXPECT_DOUBLE_EQ(s.yaw->getAngle(), 5.0) << "the tree itself never changes";
    EXPECT_EQ(sceneRevision(), before + 1);

    const double first[] = {7.0};
    s.app.setValues(first, 1);
    EXPECT_EQ(s.current(), (PoseValues{7.0, 20.0}));
}

// Six joints of one body, each driven by one entry of the table.
const char* const kSixJointRobot =
    "BEGIN PARTS = ROOT\n"
    "TRANS = ROTATION(J1,Z,0)\nTRANS = ROTATION(J2,X,0)\nTRANS = ROTATION(J3,Y,0)\n"
    "TRANS = ROTATION(J4,Z,0)\nTRANS = ROTATION(J5,X,0)\nTRANS = ROTATION(J6,Y,0)\n"
    "END PARTS\n"
    "BEGIN DATAPORT\nROOT.J1\nROOT.J2\nROOT.J3\nROOT.J4\nROOT.J5\nROOT.J6\nEND DATAPORT\n";

// A sender alternates two poses far apart as fast as it can while frames are posed the way the
// viewer poses them: every frame must show one of the two poses whole, never joints of both.
TEST(ApplicationTest, EveryFramePosesOneWholeReceivedSequence) {
    StartedApp s(kSixJointRobot);
    const std::vector<double> near(6, 10.0);
    const std::vector<double> far(6, 150.0);
    PosedScene frame;
    auto poseOf = [&](const std::vector<double>& values) {
        s.app.setValues(values.data(), 6);
        return frame.update(*s.app.root(), s.app.liveValues()).front().body;
    };
    const Matrix4 nearPose = poseOf(near);
    const Matrix4 farPose = poseOf(far);
    constexpr unsigned kSequences = 100000;
    std::atomic<unsigned> sent{0};
    std::atomic<bool> done{false};
    std::thread sender([&] {
        for (unsigned i = 0; !done.load(); sent = ++i) {
            s.app.setValues((i % 2 ? far : near).data(), 6);
        }
    });
    // Frames are posed while the sender sends its sequences, and until both poses have been
    // shown; the deadline only turns a sender that never got to run into a failure, not a hang.
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(120);
    bool nearShown = false;
    bool farShown = false;
    int mixtures = 0;
    while ((sent < kSequences || !nearShown || !farShown) && mixtures == 0 &&
           std::chrono::steady_clock::now() < deadline) {
        const Matrix4 pose = frame.update(*s.app.root(), s.app.liveValues()).front().body;
        nearShown = nearShown || pose.m == nearPose.m;
        farShown = farShown || pose.m == farPose.m;
        if (pose.m != nearPose.m && pose.m != farPose.m) ++mixtures;
    }
    done = true;
    sender.join();
    EXPECT_EQ(mixtures, 0) << "a frame showed a pose that was never sent";
    EXPECT_TRUE(nearShown && farShown) << "the sender's poses did not reach the frames";
}

// A reload without a window: a file that reads takes the old model's place and the old model is
// freed (nothing else holds it); one that does not read changes nothing.
TEST(ApplicationTest, ReloadReplacesAndFreesTheModelOrKeepsItWhenTheFileDoesNotRead) {
    StartedApp s;
    std::weak_ptr<const LoadedModel> first = s.app.model();
    s.dir.write("one.txt",
                "BEGIN PARTS = ROOT\nTRANS = ROTATION(YAW,Z,5)\nEND PARTS\n"
                "BEGIN DATAPORT\nROOT.YAW\nEND DATAPORT\n");
    ASSERT_TRUE(s.app.reload("one.txt"));
    EXPECT_TRUE(first.expired()) << "the replaced model is still held";
    EXPECT_EQ(s.app.valueTableSize(), 1U);
    EXPECT_EQ(s.app.settingFilePath(), "one.txt");
    const std::shared_ptr<const LoadedModel> second = s.app.model();
    s.console.out.clear();
    EXPECT_FALSE(s.app.reload("absent.txt"));
    EXPECT_EQ(s.app.model(), second);
    EXPECT_EQ(s.app.settingFilePath(), "one.txt");
    EXPECT_EQ(s.console.out.text(),
              "設定ファイル[absent.txt]が開けません\n"
              "設定ファイル[absent.txt]を読み直せませんでした。表示中のモデルを使い続けます\n");
}

}  // namespace
}  // namespace pelorin::test
