// What a fuzz target does when a cross-check fails: says which and aborts, so that libFuzzer
// keeps the input as a crash like any sanitizer finding.
#pragma once

#include <cstdio>
#include <cstdlib>

namespace pelorin::fuzz {

inline void check(bool holds, const char* what) {
    if (holds) return;
    std::fprintf(stderr, "fuzz cross-check failed: %s\n", what);
    std::abort();
}

}  // namespace pelorin::fuzz
