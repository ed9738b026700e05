#!/usr/bin/env bash
# Installs the Debian packages Pelorin needs (when missing) and builds it into build/.
# Usage: tools/setup.sh [build-dir] [extra cmake arguments...]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"
build_dir="${1:-$here/build}"
shift || true

packages=(
    build-essential cmake pkg-config python3
    libgtest-dev libgmock-dev libbenchmark-dev
    libgl1-mesa-dev libglu1-mesa-dev freeglut3-dev libgl1-mesa-dri libpng-dev libx11-dev uuid-dev
    libegl-dev libegl-mesa0
    libomniorb4-dev omniidl omniorb omniorb-nameserver libcos4-dev
    libace-dev
    liburdfdom-dev libassimp-dev  # pelorin-import: URDF and mesh files
    xvfb xauth x11-utils xdotool imagemagick
    iproute2  # the multi-host test joins network namespaces with veth pairs
    clang-14 libclang-rt-14-dev  # tools/fuzz.sh: the fuzz targets, built with libFuzzer
)

missing=()
for p in "${packages[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
done
if ((${#missing[@]})); then
    echo "Installing: ${missing[*]}"
    sudo_cmd=()
    [[ $(id -u) -ne 0 ]] && sudo_cmd=(sudo)
    "${sudo_cmd[@]}" apt-get update -qq
    DEBIAN_FRONTEND=noninteractive "${sudo_cmd[@]}" apt-get install -y -qq --no-install-recommends "${missing[@]}"
fi

# Debian's omniorb-nameserver package may start a system naming service; Pelorin's tests and demo
# start their own on free loopback ports and do not need it.
cmake -S "$here" -B "$build_dir" -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build "$build_dir" -j"$(nproc)"
