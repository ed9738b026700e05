#!/usr/bin/env bash
# Installs the build tree into a temporary prefix and runs what was installed from there: the
# installed pelorin-check reads an installed sample in its folder, and the other programs start
# (their libraries are found, nothing points back into the build tree).
# Usage: install-test.sh CMAKE BUILD_DIR
set -euo pipefail
cmake_cmd="$1"
build="$2"
prefix="$(mktemp -d)"
trap 'rm -rf "$prefix"' EXIT

"$cmake_cmd" --install "$build" --prefix "$prefix" >/dev/null

failed=0
for file in bin/pelorin bin/pelorin-check bin/pelorin-import bin/pelorin-send \
    share/pelorin/samples/rtc.conf \
    share/pelorin/samples/gripper-arm/gripper-arm.txt \
    share/pelorin/samples/gripper-arm/base.stl \
    share/pelorin/samples/two-link-arm/two-link-arm.txt \
    share/doc/pelorin/README.md share/doc/pelorin/docs/gripper-arm.png; do
    [[ -f "$prefix/$file" ]] || { echo "not installed: $file"; failed=1; }
done

export PATH="$prefix/bin:/usr/bin:/bin" LC_ALL=C.UTF-8
unset DISPLAY
cd "$prefix/share/pelorin/samples/gripper-arm"
if ! pelorin-check gripper-arm.txt >check.out 2>&1; then
    echo "installed pelorin-check refused the installed sample:"
    cat check.out
    failed=1
fi
grep -q "ROOT" check.out || { echo "pelorin-check printed no parts:"; cat check.out; failed=1; }

cd /
pelorin-send --help >/dev/null || { echo "installed pelorin-send --help failed"; failed=1; }
# The installed importer reads the installed URDF sample; the installed checker reads the result.
if ! pelorin-import "$prefix/share/pelorin/samples/urdf-arm/urdf-arm.urdf" "$prefix/urdf-arm" \
    >"$prefix/import.out" 2>&1 || ! (cd "$prefix/urdf-arm" && pelorin-check urdf-arm.txt >/dev/null 2>&1); then
    echo "installed pelorin-import failed on the installed URDF sample:"
    cat "$prefix/import.out"
    failed=1
fi
# Without a setting file pelorin stops before the framework starts, with its own message: it
# ran, so every library it needs was found.
status=0
out="$(pelorin 2>&1)" || status=$?
if [[ $status -ne 1 || "$out" != *"引数が不正です"* ]]; then
    echo "installed pelorin did not start (status $status): $out"
    failed=1
fi
exit $failed
