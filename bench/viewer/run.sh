#!/usr/bin/env bash
# Viewer pacing benchmark on a private Xvfb display: processor time of the viewer thread over a
# still scene, frame rate while values stream in, and value-change-to-frame delay (median, p99);
# the same stream while recording, the time to write a recorded frame, and what a stalled disk
# costs the drawing thread.
# Usage: bench/viewer/run.sh [build-dir] [still-seconds] [latency-samples]
#        (defaults: build, 10, 300; PELORIN_MAX_FPS sets the frame cap)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
still="${2:-10}"
samples="${3:-300}"
bench="$build/bench/viewer/pelorin_viewer_bench"
[[ -x "$bench" ]] || { echo "Missing $bench: build the target pelorin_viewer_bench first." >&2; exit 2; }
command -v Xvfb >/dev/null || { echo "Xvfb is not installed." >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/pelorin-viewer-bench-XXXXXX")"
xvfb=""
cleanup() {
    if [[ -n "$xvfb" ]]; then
        kill -TERM "$xvfb" 2>/dev/null || true
        wait "$xvfb" 2>/dev/null || true
    fi
    rm -rf "$work"
}
trap cleanup EXIT

# Xvfb picks a free display number and writes it to the descriptor it is given.
mkfifo "$work/display"
exec {displayfd}<>"$work/display"
Xvfb -displayfd "$displayfd" -screen 0 1024x1024x24 -nolisten tcp >"$work/xvfb.log" 2>&1 &
xvfb=$!
read -r -t 30 -u "$displayfd" number || { echo "Xvfb did not start:" >&2; cat "$work/xvfb.log" >&2; exit 1; }
exec {displayfd}<&-

cd "$work"
DISPLAY=":$number" LIBGL_ALWAYS_SOFTWARE=1 "$bench" "$still" "$samples"
