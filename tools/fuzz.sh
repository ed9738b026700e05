#!/usr/bin/env bash
# Builds the libFuzzer targets of fuzz/ with clang (address and undefined-behaviour sanitizers)
# in build-fuzz/ and runs each from its seed corpus for the given time, one per core at a time.
# Prints the executions and coverage of every target; exits 1 when any target found a crash,
# a leak, a timeout, a memory blow-up or a failed cross-check.
#
# Usage: tools/fuzz.sh [seconds-per-target] [target...]     (default: 30 s; all targets)
# Targets: stl setting payload rtcconf. A finding is kept in build-fuzz/findings/<target>/ and
# replays with build-fuzz/fuzz/pelorin_fuzz_<target> FILE. Runs work on scratch copies of the
# seeds, so the repository never receives what libFuzzer writes.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"
shift || true
targets=("$@")
((${#targets[@]})) || targets=(stl setting payload rtcconf)
if ! [[ $seconds =~ ^[1-9][0-9]*$ ]]; then
    echo "usage: tools/fuzz.sh [seconds-per-target] [stl|setting|payload|rtcconf ...]" >&2
    exit 2
fi
for target in "${targets[@]}"; do
    if [[ ! -d $here/fuzz/corpus/$target ]]; then
        echo "tools/fuzz.sh: no fuzz target '$target' (stl, setting, payload, rtcconf)" >&2
        exit 2
    fi
done

build="$here/build-fuzz"
echo "=== building the fuzz targets in $(basename "$build")"
"$here/tools/setup.sh" "$build" -DPELORIN_FUZZ=ON -DCMAKE_UNITY_BUILD=ON \
    -DCMAKE_C_COMPILER=clang-14 -DCMAKE_CXX_COMPILER=clang++-14

# Scratch space in memory where there is some: the setting target writes a few small files for
# every input, which is several times faster on tmpfs.
scratch_root="${TMPDIR:-/tmp}"
[[ -d /dev/shm && -w /dev/shm ]] && scratch_root=/dev/shm
scratch="$(mktemp -d "$scratch_root/pelorin-fuzz.XXXXXX")"
trap 'rm -rf "$scratch"' EXIT

# A value of libFuzzer's final statistics, or of its last status line ("cov: 812 ft: 3520").
final_stat() { sed -n "s/^stat::$1: *//p" "$2" | tail -n 1; }
status_value() { grep -o " $1: [0-9]*" "$2" | tail -n 1 | grep -o '[0-9]*$' || true; }

# Runs one target and leaves its summary line in $scratch/<target>/summary; returns libFuzzer's
# status.
fuzz_one() {
    local target="$1" work="$scratch/$1" status=0
    mkdir -p "$work/corpus" "$work/cwd" "$work/tmp" "$work/findings"
    cp "$here/fuzz/corpus/$target/"* "$work/corpus/"
    local log="$work/fuzz.log"
    # -timeout: one input taking this long is a hang; -malloc_limit_mb: no input of a few
    # kilobytes may ask for this much at once; -rss_limit_mb bounds the whole process.
    (cd "$work/cwd" && TMPDIR="$work/tmp" UBSAN_OPTIONS=print_stacktrace=1 \
        timeout --kill-after=10 $((seconds + 300)) "$build/fuzz/pelorin_fuzz_$target" \
        -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
        -malloc_limit_mb=512 -dict="$here/fuzz/dict/$target.dict" \
        -artifact_prefix="$work/findings/" "$work/corpus" >"$log" 2>&1) || status=$?

    printf '%-8s %-7s runs=%-9s exec/s=%-6s cov=%-5s ft=%-6s corpus=%-5s peak_rss_mb=%s\n' \
        "$target" "$([[ $status -eq 0 ]] && echo ok || echo FAILED)" \
        "$(final_stat number_of_executed_units "$log")" "$(final_stat average_exec_per_sec "$log")" \
        "$(status_value cov "$log")" "$(status_value ft "$log")" \
        "$(find "$work/corpus" -type f | wc -l)" "$(final_stat peak_rss_mb "$log")" \
        >"$work/summary"
    return "$status"
}

# The targets share nothing, so they run side by side, one per core.
parallel="$(nproc)"
declare -A pid_of=()
for target in "${targets[@]}"; do
    while (($(jobs -rp | wc -l) >= parallel)); do wait -n || true; done
    echo "=== fuzzing $target for $seconds s"
    fuzz_one "$target" &
    pid_of[$target]=$!
done

failed=0
for target in "${targets[@]}"; do
    status=0
    wait "${pid_of[$target]}" || status=$?
    ((status == 0)) && continue
    failed=1
    work="$scratch/$target"
    kept="$build/findings/$target"
    mkdir -p "$kept"
    cp "$work/findings/"* "$kept/" 2>/dev/null || true
    echo "--- $target: libFuzzer exited with status $status; the end of its output:"
    tail -n 60 "$work/fuzz.log"
    echo "--- findings kept in $kept (replay: $build/fuzz/pelorin_fuzz_$target FILE)"
done

echo "=== fuzzing, $seconds s per target"
for target in "${targets[@]}"; do cat "$scratch/$target/summary"; done
exit "$failed"
