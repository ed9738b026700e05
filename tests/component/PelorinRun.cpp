#include "tests/component/PelorinRun.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace pelorin::testing {
namespace {

// A bar of 500 x 80 x 80 model units from the origin along +X, as 12 ASCII STL facets.
std::string barStl() {
    const double x0 = 0, x1 = 500, y0 = -40, y1 = 40, z0 = -40, z1 = 40;
    struct Quad {
        double n[3];
        double v[4][3];
    };
    const Quad quads[] = {
        {{1, 0, 0}, {{x1, y0, z0}, {x1, y1, z0}, {x1, y1, z1}, {x1, y0, z1}}},
        {{-1, 0, 0}, {{x0, y0, z0}, {x0, y0, z1}, {x0, y1, z1}, {x0, y1, z0}}},
        {{0, 1, 0}, {{x0, y1, z0}, {x0, y1, z1}, {x1, y1, z1}, {x1, y1, z0}}},
        {{0, -1, 0}, {{x0, y0, z0}, {x1, y0, z0}, {x1, y0, z1}, {x0, y0, z1}}},
        {{0, 0, 1}, {{x0, y0, z1}, {x1, y0, z1}, {x1, y1, z1}, {x0, y1, z1}}},
        {{0, 0, -1}, {{x0, y0, z0}, {x0, y1, z0}, {x1, y1, z0}, {x1, y0, z0}}},
    };
    std::string text = "solid bar\n";
    auto vertex = [&text](const double* p) {
        text += "vertex " + std::to_string(p[0]) + " " + std::to_string(p[1]) + " " +
                std::to_string(p[2]) + "\n";
    };
    for (const Quad& q : quads) {
        for (int half = 0; half < 2; ++half) {
            text += "facet normal " + std::to_string(q.n[0]) + " " + std::to_string(q.n[1]) + " " +
                    std::to_string(q.n[2]) + "\nouter loop\n";
            vertex(q.v[0]);
            vertex(q.v[half + 1]);
            vertex(q.v[half + 2]);
            text += "endloop\nendfacet\n";
        }
    }
    return text + "endsolid bar\n";
}

const char* const kRobot =
    "BEGIN PARTS = ROOT\n"
    "TRANS = ROTATION(YAW,Z,0)\n"
    "TRANS = TRANSLATION(SLIDE,0,0,0)\n"
    "BEGIN DRAWN STL = bar\n"
    "PATH = bar.stl\n"
    "COLOR = 1,0,0\n"
    "END DRAWN STL\n"
    "END PARTS\n"
    "BEGIN DATAPORT\n"
    "ROOT.YAW\n"
    "ROOT.SLIDE.X\n"
    "END DATAPORT\n";

}  // namespace

std::string pelorinProgram() {
    return PELORIN_PROGRAM;
}
std::string sendProgram() {
    return PELORIN_SEND_PROGRAM;
}

void writeBarRobot(const TempDir& folder) {
    folder.write("bar.stl", barStl());
    folder.write("robot.txt", kRobot);
}

std::map<std::string, std::string> pelorinEnvironment(const std::string& rtcConf) {
    // Mesa's software renderer without worker threads: results do not depend on the machine,
    // and its own (uninstrumented) threads cannot confuse the thread sanitizer.
    return {{"LC_ALL", "C.UTF-8"},
            {"RTC_MANAGER_CONFIG", rtcConf},
            {"LIBGL_ALWAYS_SOFTWARE", "1"},
            {"LP_NUM_THREADS", "0"}};
}

PelorinRun::PelorinRun(const NamingService& naming, bool preactivate) : naming_(naming) {
    writeBarRobot(folder_);
    std::string conf = "corba.nameservers: 127.0.0.1:" + std::to_string(naming.port()) +
                       "\n"
                       "corba.endpoints: 127.0.0.1:\n"
                       "exec_cxt.periodic.rate: 100\n"
                       "logger.enable: YES\n"
                       "logger.file_name: ./rtc%p.log\n"
                       "logger.log_level: WARN\n";
    if (preactivate) conf += "manager.components.preactivation: Pelorin0\n";
    folder_.write("rtc.conf", conf);
}

std::string PelorinRun::start(const std::vector<std::string>& options) {
    std::vector<std::string> argv = {pelorinProgram()};
    argv.insert(argv.end(), options.begin(), options.end());
    argv.push_back("robot.txt");
    std::map<std::string, std::string> environment = pelorinEnvironment(folder_.file("rtc.conf"));
    if (!options.empty()) environment.erase("RTC_MANAGER_CONFIG");
    pelorin_ = std::make_unique<Child>(argv, folder_.path(), environment);
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        if (!pelorin_->running())
            return "pelorin ended early:\n" + pelorin_->out() + pelorin_->err();
        if (send({"--state"}).exitCode == 0) return "";
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return "pelorin's name did not appear in the naming service";
}

RunResult PelorinRun::send(const std::vector<std::string>& args, const std::string& input) const {
    // Pelorin reads every 10 ms here: a short linger keeps the tests quick.
    std::vector<std::string> argv = {sendProgram(), "-p", std::to_string(naming_.port()),
                                     "--linger", "0.2"};
    argv.insert(argv.end(), args.begin(), args.end());
    return runToEnd(argv, folder_.path(), std::chrono::seconds(30), input);
}

std::string PelorinRun::state() const {
    const RunResult result = send({"--state"});
    return result.exitCode == 0 ? result.out : result.err;
}

Picture screenshot() {
    Picture picture;
    std::string error;
    EXPECT_TRUE(takeScreenshot(picture, error)) << error;
    return picture;
}

bool screenBecomes(const Picture& reference, bool near, Picture* seen) {
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        Picture now = screenshot();
        const long differing = differingPixels(now, reference);
        if (near ? differing <= kSame : differing >= kTurned) {
            if (seen != nullptr) *seen = std::move(now);
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

Picture restPose(const std::function<void()>& sendRest) {
    sendRest();
    Picture previous;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (std::chrono::steady_clock::now() < end) {
        Picture now = screenshot();
        if (redPixels(now) >= kBarPixels && differingPixels(previous, now) <= kSame) return now;
        previous = std::move(now);
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    ADD_FAILURE() << "the bar never appeared on screen";
    return previous;
}

}  // namespace pelorin::testing
