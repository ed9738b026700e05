#!/usr/bin/env bash
# Sets everything up on a fresh Debian machine and runs the whole test suite three times:
# a plain build, an address+undefined-behaviour sanitizer build and a thread sanitizer build;
# then runs every fuzz target briefly (tools/fuzz.sh). A failing stage does not stop the later
# ones; the summary at the end names every stage that failed.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
cd "$here"

# Unity builds compile each folder in a few large sources: a clean tree builds in about half the
# time, which is most of this script's run.
failed=()
run_suite() {
    local dir="$1"
    shift
    "$here/tools/setup.sh" "$dir" -DPELORIN_WERROR=ON -DCMAKE_UNITY_BUILD=ON "$@"
    echo "=== tests in $(basename "$dir")"
    (cd "$dir" && ctest --output-on-failure --timeout 300 -j2) || failed+=("tests in $(basename "$dir")")
}

run_suite "$here/build"
# Sanitizer trees: -O1 with line tables only builds faster and still names file and line.
sanitized=(-DPELORIN_BUILD_BENCH=OFF
    "-DCMAKE_CXX_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG" "-DCMAKE_C_FLAGS_RELWITHDEBINFO=-O1 -g1 -DNDEBUG")
run_suite "$here/build-asan" -DPELORIN_SANITIZE=address,undefined "${sanitized[@]}"
TSAN_OPTIONS="${TSAN_OPTIONS:-halt_on_error=1 second_deadlock_stack=1}" \
    run_suite "$here/build-tsan" -DPELORIN_SANITIZE=thread "${sanitized[@]}"

# Fuzzing: each fuzz target for about 30 s from its seeds, in a clang tree of its own; a crash,
# leak, timeout or failed cross-check fails the run.
"$here/tools/fuzz.sh" 30 || failed+=("fuzzing")
if ((${#failed[@]})); then
    printf '=== failed: %s\n' "${failed[@]}"
    exit 1
fi
echo "=== all test runs passed"
