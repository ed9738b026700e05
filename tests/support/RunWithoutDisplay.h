// Runs a program as a user would on a machine without a display: in `dir`, DISPLAY removed from
// its environment (any attempt to reach an X server fails), a UTF-8 locale so that console texts
// compare as written in the tests, and Mesa's software renderer without worker threads.
#pragma once

#include <sys/wait.h>

#include <cstdio>
#include <string>

namespace pelorin::testing {

struct RunResult {
    int status = -1;     // the exit status; -1 when the program did not end normally
    std::string output;  // standard output and standard error
};

inline RunResult runWithoutDisplay(const std::string& program, const std::string& arguments,
                                   const std::string& dir) {
    const std::string command = "cd '" + dir +
                                "' && env -u DISPLAY LC_ALL=C.UTF-8 LIBGL_ALWAYS_SOFTWARE=1 "
                                "LP_NUM_THREADS=0 '" +
                                program + "' " + arguments + " 2>&1";
    RunResult result;
    std::FILE* pipe = popen(command.c_str(), "r");
    if (pipe == nullptr) return result;
    char buffer[4096];
    for (std::size_t got; (got = std::fread(buffer, 1, sizeof buffer, pipe)) > 0;) {
        result.output.append(buffer, got);
    }
    const int raw = pclose(pipe);
    result.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
    return result;
}

}  // namespace pelorin::testing
