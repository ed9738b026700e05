#!/usr/bin/env bash
# Port benchmark: put-to-cell latency at an execution rate of 1000 Hz (median, 99th percentile),
# the puts per second the in-port accepts from one sender, and the processor share of an idle
# execution context at the rate chosen without rtc.conf. Everything runs on 127.0.0.1.
# Usage: bench/component/run.sh [build-dir] [samples]     (defaults: build, 1000)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="$(cd "${1:-$here/build}" && pwd)"
samples="${2:-1000}"
bench="$build/bench/component/pelorin-port-bench"
[[ -x "$bench" ]] || { echo "Missing $bench: build the target pelorin-port-bench first." >&2; exit 2; }

work="$(mktemp -d "${TMPDIR:-/tmp}/pelorin-port-bench-XXXXXX")"
pids=()
cleanup() {
    for ((i = ${#pids[@]} - 1; i >= 0; i--)); do
        kill -TERM "${pids[i]}" 2>/dev/null || true
        wait "${pids[i]}" 2>/dev/null || true
    done
    rm -rf "$work"
}
trap cleanup EXIT

port="$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')"
mkdir -p "$work/names"
omniNames -start "$port" -datadir "$work/names" -ORBendPoint "giop:tcp:127.0.0.1:$port" \
    >"$work/omniNames.log" 2>&1 &
pids+=($!)

cat >"$work/rtc.conf" <<CONF
corba.nameservers: 127.0.0.1:$port
corba.endpoints: 127.0.0.1:
exec_cxt.periodic.rate: 1000
logger.enable: NO
manager.shutdown_on_nortcs: YES
CONF

(cd "$work" && RTC_MANAGER_CONFIG="$work/rtc.conf" exec "$bench" receive >"$work/receiver.out") &
receiver=$!
pids+=($receiver)

for _ in $(seq 100); do
    "$bench" probe "$port" >/dev/null 2>&1 && break || true
    sleep 0.2
done
echo "Pelorin port benchmark, execution context at 1000 Hz: $samples timed puts (5 ms apart), then 3 s of back-to-back puts"
"$bench" send "$port" "$samples"
wait "$receiver" || true
cat "$work/receiver.out"

echo "Idle execution context, no rtc.conf, 5 s per measurement:"
mkdir -p "$work/idle"
(cd "$work/idle" && env -u RTC_MANAGER_CONFIG "$bench" idle 5)
