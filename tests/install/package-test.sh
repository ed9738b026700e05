#!/usr/bin/env bash
# Makes the Debian package with cpack and checks its declared dependencies: every shared library
# a packaged program links comes from a Debian package that the package depends on, so that
# `apt install ./pelorin_*.deb` brings it. Libraries under PRIVATE_DIRS (a framework built from
# source) belong to no package and are only listed.
# Usage: package-test.sh CPACK BUILD_DIR [PRIVATE_DIRS]
set -euo pipefail
cpack_cmd="$1"
build="$2"
private_dirs="${3:-}"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT

if ! (cd "$work" && "$cpack_cmd" -G DEB --config "$build/CPackConfig.cmake" -B "$work" \
    >cpack.log 2>&1); then
    cat "$work/cpack.log"
    exit 1
fi
deb="$(ls "$work"/pelorin_*.deb)"
depends="$(dpkg-deb -f "$deb" Depends)"
echo "Depends: $depends"
dpkg-deb -x "$deb" "$work/root"

declared() {
    local wanted="$1" alternative
    IFS=',|' read -ra alternatives <<<"$depends"
    for alternative in "${alternatives[@]}"; do
        alternative="${alternative# }"
        [[ "${alternative%% *}" == "$wanted" ]] && return 0
    done
    return 1
}

# The Debian package that owns a file; dpkg records merged-/usr files under either name.
owner_of() {
    local file="$1" candidate
    for candidate in "$file" "${file#/usr}" "/usr$file" "$(readlink -f "$file")"; do
        dpkg -S "$candidate" 2>/dev/null | head -n 1 | cut -d: -f1 && return 0
    done
    return 0
}

failed=0
needed_by_pelorin=""
for program in "$work"/root/usr/bin/*; do
    name="$(basename "$program")"
    resolved="$(ldd "$program")"
    for library in $(objdump -p "$program" | awk '$1 == "NEEDED" {print $2}'); do
        [[ "$name" == pelorin ]] && needed_by_pelorin+=" $library"
        file="$(awk -v lib="$library" '$1 == lib && $2 == "=>" {print $3}' <<<"$resolved")"
        if [[ "$file" != /* ]]; then
            echo "$name: $library not found"
            failed=1
            continue
        fi
        owner="$(owner_of "$file")"
        if [[ -z "$owner" ]]; then
            private=""
            for dir in ${private_dirs//;/ }; do
                [[ "$file" == "$dir"/* ]] && private="$dir"
            done
            if [[ -n "$private" ]]; then
                echo "$name: $library from $private (no Debian package)"
            else
                echo "$name: $library ($file) belongs to no Debian package"
                failed=1
            fi
        elif ! declared "$owner"; then
            echo "$name links $library of $owner, which the package does not declare"
            failed=1
        fi
    done
done

# The libraries named in the package's description of what it needs.
for library in libomniORB4 libACE libglut libpng; do
    [[ "$needed_by_pelorin" == *" $library"* ]] ||
        { echo "pelorin does not link $library:$needed_by_pelorin"; failed=1; }
done
exit $failed
