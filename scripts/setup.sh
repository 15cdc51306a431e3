#!/usr/bin/env bash
# Installs the Debian packages a stage needs and the machine lacks, from the stage's list in
# scripts/packages/ (a stage that builds the Linux tree also takes build.txt). As root it runs
# apt-get; otherwise it prints the commands to run.
#   setup.sh STAGE...   (build, tests, gui, fuzz, format, bench, packaging, windows)
#
# An index that apt-get update cannot fetch (a mirror in the middle of a sync, an architecture
# it does not serve) does not stop a stage that does not use it: the stage fails only when a
# package it needs cannot be installed, with apt-get's reason. The windows stage also tries the
# 32-bit Wine (windows32.txt, on the i386 architecture); where that cannot be installed it says
# why and leaves the architecture as it found it, and the stage tests the 64-bit build instead.
set -euo pipefail
here="$(cd "$(dirname "${BASH_SOURCE[0]}")" && pwd)/packages"
usage() {
    echo "usage: setup.sh STAGE... (build, tests, gui, fuzz, format, bench, packaging, windows)" >&2
    exit 2
}
(($# > 0)) || usage

required=()
optional32=false
for stage in "$@"; do
    case "$stage" in
        build | format | windows) ;;
        tests | gui | fuzz | bench | packaging) required+=(build) ;;
        *) usage ;;
    esac
    required+=("$stage")
    [[ "$stage" == windows ]] && optional32=true
done

# The packages of the given lists that are not installed, one per line.
missing_of() {
    local list package
    for list in "$@"; do
        while read -r package; do
            [[ -z "$package" || "$package" == \#* ]] && continue
            [[ "$(dpkg-query -W -f='${Status}' "$package" 2>/dev/null || true)" == \
                "install ok installed" ]] || echo "$package"
        done <"$here/$list.txt"
    done | sort -u
}

mapfile -t missing < <(missing_of "${required[@]}")
missing32=()
if $optional32; then mapfile -t missing32 < <(missing_of windows32); fi
((${#missing[@]} + ${#missing32[@]} > 0)) || exit 0

if [[ "$(id -u)" != 0 ]]; then
    if ((${#missing[@]} > 0)); then
        echo "Missing packages; run as root:" >&2
        echo "  apt-get update && apt-get install ${missing[*]}" >&2
    fi
    if ((${#missing32[@]} > 0)); then
        echo "The 32-bit Wine is not installed, so the Windows stage tests the 64-bit build; for" \
            "the 32-bit one, run as root:" >&2
        echo "  dpkg --add-architecture i386 && apt-get update && apt-get install ${missing32[*]}" >&2
    fi
    ((${#missing[@]} == 0)) || exit 1
    exit 0
fi

export DEBIAN_FRONTEND=noninteractive
log="$(mktemp)"
trap 'rm -f "$log"' EXIT
update() {
    apt-get update -q >"$log" 2>&1 || {
        grep -E '^(E|W):' "$log" >&2 || true
        echo "setup: apt-get update could not fetch every index; installing from those it did" >&2
    }
}
# Installs the packages; on failure prints apt-get's errors and returns non-zero.
install() {
    apt-get install -y -q "$@" >"$log" 2>&1 && return
    grep -E '^E:|^ [^ ]+ : Depends:' "$log" | head -n 8 >&2 || tail -n 5 "$log" >&2
    return 1
}

update_done=false
if ((${#missing[@]} > 0)); then
    update
    update_done=true
    install "${missing[@]}" || { echo "setup: the packages of stage(s) $* could not be installed" >&2; exit 1; }
fi
if ((${#missing32[@]} > 0)); then
    added_i386=false
    if ! dpkg --print-foreign-architectures | grep -qx i386; then
        dpkg --add-architecture i386
        added_i386=true
    fi
    if $added_i386 || ! $update_done; then update; fi
    if ! install "${missing32[@]}"; then
        echo "windows stage: the 32-bit Wine (${missing32[*]}) could not be installed (above):" \
            "the 64-bit build will be tested under the 64-bit Wine" >&2
        if $added_i386; then
            dpkg --remove-architecture i386
            update
        fi
    fi
fi
