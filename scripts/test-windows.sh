#!/usr/bin/env bash
# Cross-builds the Windows binaries and runs the test suite under Wine, in a Wine prefix created
# afresh for the run. Prints how long each step took.
#
# The product is the 32-bit build (preset windows). Where the 32-bit Wine cannot be installed
# (setup.sh says why) or the kernel cannot run 32-bit programs, the 32-bit build is only built,
# with its export check, and the tests run on the 64-bit build (preset windows64) under the
# 64-bit Wine.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh windows

timed() {
    local label="$1" start=$SECONDS
    shift
    "$@"
    echo "windows stage: $label took $((SECONDS - start)) s" >&2
}

stage_start=$SECONDS
if /usr/lib/wine/wine --version >/dev/null 2>&1; then
    preset=windows
    echo "windows stage: 32-bit programs run here: testing the 32-bit build under the 32-bit Wine" >&2
else
    preset=windows64
    if [[ -e /usr/lib/wine/wine ]]; then
        why="this machine cannot run 32-bit programs (the 32-bit Wine loader does not start)"
    else
        why="the 32-bit Wine (wine32:i386) is not installed"
    fi
    echo "windows stage: $why: building the 32-bit product without running it, testing the" \
        "64-bit build under the 64-bit Wine" >&2
    timed "configuring the 32-bit build" cmake --preset windows
    timed "building the 32-bit build" cmake --build --preset windows -j2
    # The test CalvoraExports.OrdinalsAndNamesMatchTheList, run without ctest, which would list
    # the tests of the 32-bit test binary by running it.
    timed "checking the 32-bit exports" cmake -DOBJDUMP=i686-w64-mingw32-objdump \
        -DDLL=build/windows/bin/Calvora.dll -DEXPORTS=calvora/plugin/exports.txt -P cmake/CheckExports.cmake
fi
# The settings of the preset, for the Wine commands run here directly.
source scripts/test-windows-env.sh "$preset"

stop_wineserver() { wineserver -k 2>/dev/null || true; }

timed "creating the Wine prefix" create_wine_prefix
# One server for the whole run, rather than one per test process. Its background services
# start with the first program; start them here, so that they do not keep open the output pipe
# of a test, which ctest would wait on.
wineserver -p
trap stop_wineserver EXIT
"$wine_loader" wineboot </dev/null >/dev/null 2>&1
timed "configuring" cmake --preset "$preset"
timed "building" cmake --build --preset "$preset" -j2
timed "testing" ctest --preset "$preset"
timed "GUI testing" scripts/test-windows-gui.sh --preset "$preset"
echo "windows stage: $((SECONDS - stage_start)) s in all" >&2
