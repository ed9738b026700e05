#!/usr/bin/env bash
# Runs the start-up benchmark that the normal build produced (this script builds nothing): a
# setting file of 1,000 Parts, each with a 12-facet mesh, read and linked, with the ratio
# against the recorded figure of the earlier reader. Given the benchmark binary of an earlier
# build as well, runs both in turn, so that the ratio comes from one run.
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
# Three turns each, taken in alternation so that both see the same load; the best of each counts.
best() { sed -n 's/^best *\([0-9.]*\) ms.*/\1/p'; }
nowBest=""
beforeBest=""
for turn in 1 2 3; do
    now="$("$bench" | best)"
    before="$("$earlier" | best)"
    echo "turn $turn: now ${now} ms, earlier ${before} ms"
    nowBest="$(printf '%s\n' $nowBest $now | sort -g | head -1)"
    beforeBest="$(printf '%s\n' $beforeBest $before | sort -g | head -1)"
done
awk -v b="$beforeBest" -v n="$nowBest" 'BEGIN {
    printf "best: now %.2f ms, earlier %.2f ms\n", n, b
    printf "ratio (earlier / now, same run): %.2f (target: at least 4)\n", b / n }'
