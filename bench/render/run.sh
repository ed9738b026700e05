#!/usr/bin/env bash
# Runs the STL loading benchmark that the normal build produced (this script builds nothing)
# and prints its figures: ASCII and binary load against the sscanf and fread baselines, and the
# bytes per facet held after loading and at the peak of the load, with the ratios; then the frame
# drawing benchmark (on its own private Xvfb display) with its ratios.
#   bench/render/run.sh [build directory (default: build)] [facets (default: 500000)]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$here/build}"
facets="${2:-500000}"
bench="$build/bench/mesh/pelorin_stl_bench"
if [[ ! -x "$bench" ]]; then
    echo "no benchmark at $bench: build the target pelorin_stl_bench first" >&2
    exit 1
fi
"$bench" "$facets"

# Frame drawing of 1,000,000 small and 200,000 large facets: per-facet calls against arrays.
frames="$build/bench/render/pelorin_frame_bench"
if [[ -x "$frames" ]]; then
    "$frames"
else
    echo "no frame benchmark at $frames: build the target pelorin_frame_bench (tests enabled)"
fi
