#!/usr/bin/env bash
# Shows Pelorin moving the sample gripper arm: starts a private naming service on a free loopback
# port, Pelorin on samples/gripper-arm, and pelorin-send sweeping every joint. Everything it
# started is stopped when the script ends (Ctrl-C, or when the sweep is over).
#
# Usage: tools/demo.sh [build-dir] [seconds]      (defaults: build, 30)
# Needs a display. Without one:  xvfb-run -a -s "-screen 0 1024x900x24" tools/demo.sh
# PELORIN_DEMO_PICTURE=FILE saves a picture of the window to FILE a few seconds into the sweep.
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
seconds="${2:-30}"
pelorin="$build/app/pelorin"
sender="$build/tools/send/pelorin-send"
sample="$here/samples/gripper-arm"

if [[ -z "${DISPLAY:-}" ]]; then
    echo "No display (DISPLAY is not set). Run the demo on a virtual one, for example:" >&2
    echo "  xvfb-run -a -s \"-screen 0 1024x900x24\" $0 ${1:-build} $seconds" >&2
    exit 2
fi
for program in "$pelorin" "$sender"; do
    [[ -x "$program" ]] || { echo "Missing $program: build first (tools/setup.sh)." >&2; exit 2; }
done
command -v omniNames >/dev/null || { echo "omniNames not found (apt install omniorb-nameserver)." >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/pelorin-demo-XXXXXX")"
pids=()
cleanup() {
    # Pelorin first, so it unbinds its name while the naming service still runs.
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill -TERM "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT
trap 'exit 130' INT TERM

# A port the kernel hands out as free right now.
port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"

mkdir -p "$work/names"
omniNames -start "$port" -datadir "$work/names" -ORBendPoint "giop:tcp:127.0.0.1:$port" \
    >"$work/omniNames.log" 2>&1 &
pids+=($!)

# The sample rtc.conf with the naming service moved to our port; the rest (100 Hz, the
# component active from the start) is the sample's.
sed "s/^corba.nameservers:.*/corba.nameservers: 127.0.0.1:$port/" "$here/samples/rtc.conf" \
    >"$work/rtc.conf"
# Pelorin reads the meshes relative to the working folder and writes its parser log there.
cp "$sample"/* "$work/"
(cd "$work" && RTC_MANAGER_CONFIG="$work/rtc.conf" exec "$pelorin" gripper-arm.txt) &
pids+=($!)

echo "Waiting for Pelorin on the naming service at 127.0.0.1:$port ..."
for _ in $(seq 100); do
    "$sender" -p "$port" --state >/dev/null 2>&1 && break
    kill -0 "${pids[1]}" 2>/dev/null || { echo "Pelorin ended early." >&2; exit 1; }
    sleep 0.2
done

echo "Sweeping the joints for $seconds s (close the window or press Ctrl-C to stop)."
# The fingers (values 4 and 5) swing about their open positions, so they never cross.
"$sender" -p "$port" --activate --sweep --count 6 --rate 50 --duration "$seconds" \
    --amplitude 40 --period 6 --centre 0,20,40,0,-60,60 &
pids+=($!)
if [[ -n "${PELORIN_DEMO_PICTURE:-}" ]]; then
    # A picture of the window a few seconds into the sweep, saved by Pelorin itself (key "s").
    sleep "${PELORIN_DEMO_PICTURE_DELAY:-4}"
    window="$(xdotool search --name "Pelorin RTC" 2>/dev/null | head -n 1)"
    if [[ -n "$window" ]] && xdotool key --window "$window" s 2>/dev/null; then
        for _ in $(seq 50); do
            shot="$(ls -t "$work"/pelorin-*.png 2>/dev/null | head -n 1)"
            [[ -n "$shot" ]] && break
            sleep 0.1
        done
    fi
    if [[ -n "${shot:-}" ]]; then
        sleep 0.5  # let Pelorin finish writing it
        cp "$shot" "$PELORIN_DEMO_PICTURE"
        echo "Picture of the window: $PELORIN_DEMO_PICTURE"
    else
        echo "No picture could be taken (is xdotool installed?)." >&2
    fi
fi
wait "${pids[2]}" || true
