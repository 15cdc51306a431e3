#!/usr/bin/env bash
# Sets up and builds, then runs the main job: the demo host loads the module, hands it a list of
# periods, lists them and asks which of them are active now.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
scripts/setup.sh build
# A build of its own without the test suite, which needs packages the main job does not.
cmake --preset default -B build/demo -D CALVORA_TESTS=OFF >/dev/null
cmake --build build/demo -j2 --target calvora-host Calvora

# The host keeps its data file beside itself, so it runs from a scratch directory.
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
cp build/demo/calvora-host build/demo/Calvora.so "$work/"
host="$work/calvora-host"

echo "== calvora-host receive host/demo/sample-periods.tm"
"$host" receive host/demo/sample-periods.tm
echo "== calvora-host list"
"$host" list
for number in 1 2 3; do
    echo "== calvora-host check $number   ($(date '+%A %H:%M:%S'))"
    "$host" check "$number" || true
done
echo "== calvora-host check 1 2 3"
if "$host" check 1 2 3; then
    echo "(exit 0: at least one selected period is active)"
else
    echo "(exit 1: none of the selected periods is active)"
fi
echo "== data file: $(stat -c %s "$work/calvora-host.tm") bytes"
