#!/usr/bin/env bash
# Installs the build into a scratch prefix, links every function its headers declare, builds the
# example host and sync library out of tree against it with find_package(Calvora), and runs them: the host loads the installed module, a
# received list is saved without a push, and a save from the selection dialog (confirmed with
# Enter on a virtual screen) is pushed to the example sync library.
#   examples_test.sh BUILD_DIR SOURCE_DIR CXX_COMPILER
set -euo pipefail
build="$1" source="$2" compiler="$3"
for tool in Xvfb xdotool; do
    command -v "$tool" >/dev/null || { echo "skipped: no $tool for the dialog" >&2; exit 77; }
done

source "$source/scripts/check-helpers.sh"

prefix="$work/prefix"
cmake --install "$build" --prefix "$prefix" >/dev/null
for example in host sync_library; do
    cmake -S "$source/examples/$example" -B "$work/$example" -D CMAKE_PREFIX_PATH="$prefix" \
        -D CMAKE_CXX_COMPILER="$compiler" -D CMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
    cmake --build "$work/$example" -j2 >/dev/null
done

# Every function the installed headers declare is defined in a library calvora.pc names; the
# check reads clang's syntax tree, so it runs where clang is (always in the package check).
if command -v clang++ >/dev/null; then
    bash "$source/tests/sdk/declarations_link.sh" "$prefix" ||
        fail "the installed headers declare functions that do not link"
fi

# The installed demo host finds the installed module from its own folder.
expect_eq "$(env -u DISPLAY "$prefix/bin/calvora-host" list; echo "exit $?")" "exit 0" "installed calvora-host list"
[[ -f "$prefix/share/man/man1/calvora-host.1" ]] || fail "no manual page installed"

# The example host keeps its data file beside itself; the sync library is found along the
# library search path.
host_dir="$work/run"
mkdir "$host_dir"
cp "$work/host/example-host" "$host_dir/"
host="$host_dir/example-host"
export LD_LIBRARY_PATH="$work/sync_library${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export CALVORA_SYNC_LOG="$host_dir/sync.log"
unset DISPLAY WAYLAND_DISPLAY QT_QPA_PLATFORM

expect_eq "$("$host" list)" "" "list before anything was received"
"$host" receive "$source/host/demo/sample-periods.tm" || fail "receive: exit status $?"
[[ -s "$host_dir/example-host.tm" ]] || fail "receive saved no data file"
[[ -e "$CALVORA_SYNC_LOG" ]] && fail "a received list was pushed: $(cat "$CALVORA_SYNC_LOG")"
expect_eq "$("$host" list | cut -d' ' -f1 | tr '\n' ' ')" "1 2 3 " "list after receive"
status=0
"$host" check 1 2 3 >/dev/null || status=$?
[[ $status == 0 || $status == 1 ]] || fail "check: exit status $status"

# The selection dialog on a screen of our own; Enter confirms it, which saves and pushes.
start_screen
answer_dialog Return "$host" select 2
expect_eq "$dialog_status" 0 "select: exit status ($(cat "$work/dialog.err"))"
expect_eq "$(cat "$work/dialog.out")" "2" "select: the selection"
expect_eq "$(cat "$CALVORA_SYNC_LOG" 2>/dev/null)" "push from Calvora.dll: 3 periods: 1 2 3" \
    "the push of the dialog's save"

((failures == 0))
