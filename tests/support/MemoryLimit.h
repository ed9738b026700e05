// Making memory run out on purpose: a limit on the address space makes the allocations of a
// (death-test) child process fail. The sanitizers reserve terabytes of address space, so their
// builds cannot take such a limit and skip these tests.
#pragma once

#include <sys/resource.h>
#include <unistd.h>

#include <cstddef>
#include <fstream>

namespace pelorin::testing {

#if defined(__SANITIZE_ADDRESS__) || defined(__SANITIZE_THREAD__)
inline constexpr bool kSanitizedBuild = true;
#else
inline constexpr bool kSanitizedBuild = false;
#endif

// Allows `headroom` bytes of address space beyond what the process uses now.
inline void limitAddressSpace(std::size_t headroom) {
    std::ifstream statm("/proc/self/statm");
    std::size_t pages = 0;
    statm >> pages;
    rlimit limit{};
    limit.rlim_cur = limit.rlim_max =
        pages * static_cast<std::size_t>(sysconf(_SC_PAGESIZE)) + headroom;
    setrlimit(RLIMIT_AS, &limit);
}

}  // namespace pelorin::testing
