#!/usr/bin/env bash
# Cross-builds the 32-bit Windows binaries and runs the test suite under Wine, in a Wine prefix
# created afresh for the run. Prints how long each step took.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh tests

# The same settings as the windows preset, for the Wine commands run here directly.
export WINEPREFIX="$PWD/build/wine-prefix"
export WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml="  # no prompts to install .NET or a browser engine

timed() {
    local label="$1" start=$SECONDS
    shift
    "$@"
    echo "windows stage: $label took $((SECONDS - start)) s" >&2
}

stop_wineserver() { wineserver -k 2>/dev/null || true; }

create_prefix() {
    stop_wineserver  # of an earlier run on the same prefix
    rm -rf "$WINEPREFIX"
    mkdir -p "$(dirname "$WINEPREFIX")"
    env -u DISPLAY wineboot -i  # no window while the prefix is set up
    wineserver -w  # wineboot returns before the prefix is complete
}

stage_start=$SECONDS
timed "creating the Wine prefix" create_prefix
# One server for the whole run, rather than one per test process. Its background services
# start with the first program; start them here, so that they do not keep open the output pipe
# of a test, which ctest would wait on.
wineserver -p
trap stop_wineserver EXIT
wineboot </dev/null >/dev/null 2>&1
timed "configuring" cmake --preset windows
timed "building" cmake --build --preset windows -j2
timed "testing" ctest --preset windows
timed "GUI testing" scripts/test-windows-gui.sh
echo "windows stage: $((SECONDS - stage_start)) s in all" >&2
