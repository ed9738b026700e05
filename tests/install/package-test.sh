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

# Every library the packaged programs link, as the loader resolves it.
declare -A needed_file
needed_by_pelorin=""
for program in "$work"/root/usr/bin/*; do
    name="$(basename "$program")"
    resolved="$(ldd "$program")"
    for library in $(objdump -p "$program" | awk '$1 == "NEEDED" {print $2}'); do
        [[ "$name" == pelorin ]] && needed_by_pelorin+=" $library"
        # The loader itself (linked where code reaches thread-local data through it) is listed
        # by its path alone.
        needed_file["$name $library"]="$(awk -v lib="$library" \
            '$1 == lib && $2 == "=>" {print $3} $1 ~ "/" lib "$" {print $1}' <<<"$resolved")"
    done
done

# Their owners, in one query (it reads the whole package database). dpkg records merged-/usr
# files under either name, so each file is asked for under both, and as the file it links to.
variants() { echo "$1" "${1#/usr}" "/usr$1" "$(readlink -f "$1")"; }
queries=()
for file in "${needed_file[@]}"; do
    [[ "$file" == /* ]] && read -ra forms <<<"$(variants "$file")" && queries+=("${forms[@]}")
done
declare -A owner
while IFS= read -r line; do
    [[ "$line" == *": /"* && "$line" != diversion* ]] || continue
    package="${line%%: /*}"
    owner["/${line#*: /}"]="${package%%[:,]*}"
done < <(dpkg -S "${queries[@]}" 2>/dev/null || true)

failed=0
for key in "${!needed_file[@]}"; do
    name="${key%% *}"
    library="${key#* }"
    file="${needed_file[$key]}"
    if [[ "$file" != /* ]]; then
        echo "$name: $library not found"
        failed=1
        continue
    fi
    package=""
    for form in $(variants "$file"); do
        [[ -n "${owner[$form]:-}" ]] && package="${owner[$form]}" && break
    done
    if [[ -z "$package" ]]; then
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
    elif ! declared "$package"; then
        echo "$name links $library of $package, which the package does not declare"
        failed=1
    fi
done

# The libraries named in the package's description of what it needs.
for library in libomniORB4 libACE libglut libpng; do
    [[ "$needed_by_pelorin" == *" $library"* ]] ||
        { echo "pelorin does not link $library:$needed_by_pelorin"; failed=1; }
done
exit $failed
