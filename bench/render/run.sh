#!/usr/bin/env bash
# Runs the STL loading benchmark that the normal build produced (this script builds nothing)
# and prints its figures, ending with the speed ratio of the two ASCII readers.
#   bench/render/run.sh [build directory (default: build)] [facets (default: 500000)]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$here/build}"
facets="${2:-500000}"
bench="$build/bench/render/pelorin_stl_bench"
if [[ ! -x "$bench" ]]; then
    echo "no benchmark at $bench: build the target pelorin_stl_bench first" >&2
    exit 1
fi
output="$("$bench" "$facets")"
echo "$output"
ratio="$(sed -n 's/^ratio (pelorin \/ fgets+sscanf, ASCII MB\/s): //p' <<<"$output")"
echo "speed ratio of the ASCII readers: ${ratio}x (target: at least 3x)"
