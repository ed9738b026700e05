#!/usr/bin/env bash
# Runs the mesh loading benchmarks that the normal build produced (this script builds nothing)
# and prints their figures:
#   - ASCII and binary load against the sscanf and fread baselines, and the bytes per facet held
#     after loading and at the peak of the load, with the ratios;
#   - a 40 MB binary file loaded in a fresh process against read(2) of the mesh's size into
#     freshly allocated memory, round after round, with the ratios of the medians.
#   bench/mesh/run.sh [build directory (default: build)] [facets (default: 500000)]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$here/build}"
facets="${2:-500000}"
for bench in pelorin_stl_bench pelorin_binary_load_bench; do
    if [[ ! -x "$build/bench/mesh/$bench" ]]; then
        echo "no benchmark at $build/bench/mesh/$bench: build the target $bench first" >&2
        exit 1
    fi
done
"$build/bench/mesh/pelorin_stl_bench" "$facets"
echo
"$build/bench/mesh/pelorin_binary_load_bench"
