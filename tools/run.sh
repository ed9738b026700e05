#!/usr/bin/env bash
# The main job: installs what is missing, builds the three programs the demo runs (not the tests
# or benchmarks), checks the sample robot's setting file and shows the robot moving (a private
# naming service, Pelorin and a sweep of every joint).
# Usage: tools/run.sh [seconds]        (default 30)
# Without a display the demo runs on a virtual one (Xvfb) and saves a picture of the window.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
seconds="${1:-30}"

PELORIN_TARGETS="pelorin pelorin-check pelorin-send" "$here/tools/setup.sh" "$here/build"
(cd "$here/samples/gripper-arm" && "$here/build/tools/check/pelorin-check" gripper-arm.txt >/dev/null)
echo "samples/gripper-arm/gripper-arm.txt: checked"

if [[ -n "${DISPLAY:-}" ]]; then
    exec "$here/tools/demo.sh" "$here/build" "$seconds"
fi
echo "No display: running the demo under Xvfb; a picture of the window goes to $here/pelorin-demo.png"
PELORIN_DEMO_PICTURE="$here/pelorin-demo.png" \
    exec xvfb-run -a -s "-screen 0 1024x900x24" "$here/tools/demo.sh" "$here/build" "$seconds"
