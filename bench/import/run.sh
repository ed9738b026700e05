#!/usr/bin/env bash
# Runs the import benchmark that the normal build produced (this script builds nothing): a robot
# of 40 meshes of 50,000 facets imported, against copying the mesh bytes, time and peak memory.
#   bench/import/run.sh [build directory (default: build)] [meshes] [facets] [rounds]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
build="${1:-$here/build}"
bench="$build/bench/import/pelorin_import_bench"
if [[ ! -x "$bench" ]]; then
    echo "no benchmark at $bench: build the target pelorin_import_bench first" >&2
    exit 1
fi
shift || true
"$bench" "$@"
