// Entry of the window tests. The viewer thread runs until the process ends and GLUT cannot be
// shut down, so the process ends with _Exit once the results are written, like the viewer's
// own window-closed path.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>

// Make a data race end the run at once with a failing status rather than a mere report.
extern "C" const char* __tsan_default_options() {
    return "halt_on_error=1";
}

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    const int result = RUN_ALL_TESTS();
    std::fflush(nullptr);
    std::_Exit(result);
}
