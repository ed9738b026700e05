// Closing the window (the window manager's WM_DELETE_WINDOW message) ends the process cleanly
// while other threads are busy.
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <regex>
#include <thread>
#include <tuple>

#include "tests/support/RunWithoutDisplay.h"
#include "tests/support/TempDir.h"
#include "tests/support/XvfbDisplay.h"
#include "tests/viewer/PngReader.h"
#include "util/Encoding.h"

namespace pelorin {
namespace {

constexpr auto kPatience = std::chrono::seconds(60);
const char* const kTitle = "Pelorin RTC";

struct Child {
    pid_t pid = -1;
    int stdoutFd = -1;
};

Child startProbe(const std::string& mode, const std::string& stderrPath,
                 const std::string& workDir = ".") {
    int fds[2];
    if (pipe(fds) != 0) return {};
    const pid_t pid = fork();
    if (pid == 0) {
        if (chdir(workDir.c_str()) != 0) _exit(126);
        dup2(fds[1], STDOUT_FILENO);
        std::FILE* err = std::freopen(stderrPath.c_str(), "w", stderr);
        (void)err;
        close(fds[0]);
        close(fds[1]);
        execl(PELORIN_CLOSE_PROBE, PELORIN_CLOSE_PROBE, mode.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(fds[1]);
    return {pid, fds[0]};
}

// Reads the child's standard output until it contains `text` or the child stops writing.
bool waitForOutput(int fd, const std::string& text, std::string& seen) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    char buffer[256];
    while (seen.find(text) == std::string::npos) {
        pollfd p{fd, POLLIN, 0};
        if (std::chrono::steady_clock::now() > deadline || poll(&p, 1, 1000) < 0) return false;
        if (p.revents == 0) continue;
        const ssize_t got = read(fd, buffer, sizeof buffer);
        if (got <= 0) return false;
        seen.append(buffer, static_cast<std::size_t>(got));
    }
    return true;
}

bool waitForExit(pid_t pid, int& status) {
    const auto deadline = std::chrono::steady_clock::now() + kPatience;
    while (std::chrono::steady_clock::now() < deadline) {
        if (waitpid(pid, &status, WNOHANG) == pid) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return false;
}

std::string contents(const std::string& path) {
    std::ifstream in(path);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

struct CloseOutcome {
    int status = -1;
    std::string out;
    std::string err;
};

void closeProbeWindow(const std::string& mode, CloseOutcome& outcome,
                      const std::string& workDir = ".") {
    std::string error;
    ASSERT_TRUE(testing::ensureXvfbDisplay(&error)) << error;
    testing::TempDir dir;
    const Child child = startProbe(mode, dir.file("stderr.txt"), workDir);
    ASSERT_GT(child.pid, 0);
    ASSERT_TRUE(waitForOutput(child.stdoutFd, "ready\n", outcome.out)) << outcome.out;
    ASSERT_TRUE(testing::closeWindowTitled(kTitle, error)) << error;
    ASSERT_TRUE(waitForExit(child.pid, outcome.status)) << "the probe did not end";
    std::string rest;
    waitForOutput(child.stdoutFd, "\x01", rest);  // collect what is left until end of file
    outcome.out += rest;
    close(child.stdoutFd);
    outcome.err = contents(dir.file("stderr.txt"));
}

// A busy process ends with status zero; one with its own handler outlives the window.
TEST(ViewerCloseTest, ClosingTheWindowEndsTheBusyProcessUnlessItHandlesTheClose) {
    for (const auto& [mode, status, out] :
         {std::tuple<const char*, int, const char*>{"default", 0, "ready\n"},
          {"handler", 3, "ready\nhandler ran\nviewer ended\n"}}) {
        SCOPED_TRACE(mode);
        CloseOutcome outcome;
        closeProbeWindow(mode, outcome);
        ASSERT_TRUE(WIFEXITED(outcome.status)) << "ended by signal " << WTERMSIG(outcome.status);
        EXPECT_EQ(WEXITSTATUS(outcome.status), status)
            << outcome.err.substr(outcome.err.size() > 2000 ? outcome.err.size() - 2000 : 0);
        EXPECT_EQ(outcome.out, out);
        EXPECT_EQ(outcome.err.find("Sanitizer"), std::string::npos);
    }
}

TEST(ViewerCloseTest, ClosingTheWindowWhileRecordingPutsEveryQueuedFrameOnDisk) {
    testing::TempDir work;
    CloseOutcome outcome;
    closeProbeWindow("record", outcome, work.path());
    ASSERT_TRUE(WIFEXITED(outcome.status));
    EXPECT_EQ(WEXITSTATUS(outcome.status), 0) << outcome.err.substr(0, 2000);
    const std::string out =
        consoleEncoding() == TextEncoding::Cp932 ? decodeCp932(outcome.out) : outcome.out;
    const std::regex expected(
        "録画を開始しました: (pelorin-[0-9-]+)/ [^\n]*\nready\n"
        "録画を終了しました: \\1/ : 保存したフレーム ([0-9]+)、落としたフレーム [0-9]+\n");
    std::smatch match;
    ASSERT_TRUE(std::regex_match(out, match, expected)) << out;
    const std::string folder = work.file(match[1]);
    const long written = std::stol(match[2]);
    EXPECT_GT(written, 0);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(folder), {}), written);
    // The last file is whole: the process did not end halfway through writing it.
    char last[32];
    std::snprintf(last, sizeof last, "/frame-%06ld.png", written);
    std::string error;
    EXPECT_EQ(testing::readPng(folder + last, &error).width, 800) << error;
}

TEST(ViewerCloseTest, WithoutADisplayTheViewerSaysSoAndTheProcessGoesOn) {
    testing::TempDir dir;
    const testing::RunResult run =
        testing::runWithoutDisplay(PELORIN_CLOSE_PROBE, "nodisplay", dir.path());
    EXPECT_EQ(run.status, 4) << run.output;
    EXPECT_EQ(
        run.output,
        "ウィンドウを開けません。X の表示先に接続できません: (DISPLAY が未設定)\nno viewer\n");
}

}  // namespace
}  // namespace pelorin
