#!/usr/bin/env bash
# Builds Pelorin against the OpenRTM-aist 2.x installed at PREFIX and runs the test suite there,
# with the tests only that build has: a sender made with the framework, its OutPort preconnected
# to Pelorin through rtcname://, for each subscription type. Ends with a summary.
# Usage: tools/test-openrtm.sh PREFIX [build-dir]        (default build-dir: build-openrtm)
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
prefix="$(cd "${1:?usage: tools/test-openrtm.sh PREFIX [build-dir]}" && pwd)"
build_dir="${2:-$here/build-openrtm}"

"$here/tools/setup.sh" "$build_dir" -DPELORIN_WITH_OPENRTM=ON -DCMAKE_PREFIX_PATH="$prefix" \
    -DPELORIN_WERROR=ON

log="$build_dir/test-openrtm.log"
status=0
(cd "$build_dir" && ctest --output-on-failure --timeout 300 -j2) >"$log" 2>&1 || status=$?

package_dir="$(sed -n 's/^OpenRTM_DIR:PATH=//p' "$build_dir/CMakeCache.txt")"
version="$(sed -n 's/^set(PACKAGE_VERSION \([^)]*\))/\1/p' \
    "$package_dir/OpenRTMConfigVersion.cmake" 2>/dev/null || true)"
echo "=== Pelorin against OpenRTM-aist ${version:-(version unknown)} at $prefix"
grep -E '^(Total Test time|[0-9]+% tests passed)' "$log" || true
echo "--- tests only this build has"
grep -E 'openrtm_end_to_end_tests|OpenRtmEndToEnd|ModuleInRtcd' "$log" | grep -E 'Passed|Failed|Not Run|Timeout' || true
if ((status != 0)); then
    echo "--- failed"
    sed -n '/The following tests FAILED:/,$p' "$log"
    echo "full log: $log"
fi
exit $status
