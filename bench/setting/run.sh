#!/usr/bin/env bash
# Runs the start-up benchmark that the normal build produced (this script builds nothing): a
# setting file of 1,000 Parts, each with a 12-facet mesh, read and linked, with the ratio
# against the recorded figure of the earlier reader. Given also the benchmark binary built on
# the earlier reader (the commit that added this benchmark), runs both in alternation and prints
# the ratios of that one run, in wall time and in processor time.
#   bench/setting/run.sh [build directory (default: build)] [earlier pelorin_startup_bench]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$here/build}"
earlier="${2:-}"
bench="$build/bench/setting/pelorin_startup_bench"
if [[ ! -x "$bench" ]]; then
    echo "no benchmark at $bench: build the target pelorin_startup_bench first" >&2
    exit 1
fi
if [[ -z "$earlier" ]]; then
    "$bench"
    exit
fi
# Five turns each, taken in alternation so that both see the same load; the best of each counts.
field() { sed -n "s/^$1 *\\([0-9.]*\\) ms.*/\\1/p"; }
lowest() { printf '%s\n' "$@" | grep . | sort -g | head -1; }
now=() nowCpu=() before=() beforeCpu=()
for turn in 1 2 3 4 5; do
    a="$("$bench")"
    b="$("$earlier")"
    now+=("$(field best <<<"$a")") nowCpu+=("$(field cpu <<<"$a")")
    before+=("$(field best <<<"$b")") beforeCpu+=("$(field cpu <<<"$b")")
    echo "turn $turn: now ${now[-1]} ms (cpu ${nowCpu[-1]:-?}), earlier ${before[-1]} ms (cpu ${beforeCpu[-1]:-?})"
done
awk -v n="$(lowest "${now[@]}")" -v b="$(lowest "${before[@]}")" \
    -v nc="$(lowest "${nowCpu[@]}")" -v bc="$(lowest "${beforeCpu[@]}")" 'BEGIN {
    printf "best: now %.2f ms, earlier %.2f ms; ratio %.2f (target: at least 4)\n", n, b, b / n
    if (nc > 0 && bc > 0)
        printf "processor time: now %.2f ms, earlier %.2f ms; ratio %.2f\n", nc, bc, bc / nc }'
