#!/usr/bin/env bash
# Runs the value-set benchmark that the normal build produced (this script builds nothing): the
# cost of handing each received sequence over as one whole set and of posing a frame from it,
# for 6 and 60 driven joints, each against a baseline measured in the same run.
#   bench/scene/run.sh [build directory (default: build)]
set -euo pipefail

here="$(cd "$(dirname "${BASH_SOURCE[0]}")/../.." && pwd)"
bench="${1:-$here/build}/bench/scene/pelorin_value_set_bench"
if [[ ! -x "$bench" ]]; then
    echo "no benchmark at $bench: build the target pelorin_value_set_bench first" >&2
    exit 1
fi
"$bench"
