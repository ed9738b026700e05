#!/usr/bin/env bash
# Runs the frame drawing benchmark that the normal build produced (this script builds nothing),
# on its own private Xvfb display, and prints its figures and ratios: 1,000,000 small and 200,000
# large facets drawn with per-facet calls against arrays.
#   bench/render/run.sh [build directory (default: build)]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$here/build}"
frames="$build/bench/render/pelorin_frame_bench"
if [[ ! -x "$frames" ]]; then
    echo "no frame benchmark at $frames: build the target pelorin_frame_bench (tests enabled)" >&2
    exit 1
fi
"$frames"
