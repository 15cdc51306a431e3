#!/usr/bin/env bash
# Drives the Windows build's dialogs under Wine on a virtual screen with real input (mouse
# clicks, typing, Enter, Escape) through the demo host, and checks what the host printed, the
# data file, the notices and how digits are drawn. Expects the preset (windows unless --preset
# windows64) built and its Wine prefix made by create_wine_prefix (scripts/test-windows-env.sh).
# With --screenshots it also writes docs/windows-*.png.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
preset=windows
screenshots=false
while (($#)); do
    case "$1" in
        --preset) preset="$2"; shift ;;
        --screenshots) screenshots=true ;;
        *) echo "usage: $0 [--preset windows|windows64] [--screenshots]" >&2; exit 2 ;;
    esac
    shift
done
source scripts/test-windows-env.sh "$preset"
bin="$windows_bin"
# Every Wine command below runs the build's own loader.
wine() { command "$wine_loader" "$@"; }

work="$(mktemp -d)"
xvfb_pid=""
# A Wine session keeps the display its first program found, so this one runs in a session of
# its own, which ends before the screen goes.
wineserver -k 2>/dev/null || true
cleanup() {
    wineserver -k 2>/dev/null || true
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup EXIT

# A screen of our own, the size of the Wine desktop of tests/gui/display.reg; Xvfb reports the
# display number it took.
exec {displayfd}<> <(:)
Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
xvfb_pid=$!
read -r -t 10 display <&"$displayfd"
export DISPLAY=":$display"
# As on a Chinese (PRC) system: code page 936, Chinese system texts, and the time pickers'
# 24-hour form.
export LC_ALL=zh_CN.UTF-8

# The dialogs' Song face, stood in for by a Ming face drawn unsmoothed (tests/gui/fonts.conf),
# and a Wine desktop covering the screen, in which Wine draws the captions and closes a window
# at once: a top-level window of its own, with no window manager running, closes only after
# Wine has waited 2 s for one, and input in that time is lost.
export FONTCONFIG_FILE="$root/tests/gui/fonts.conf"
wine regedit /S tests/gui/display.reg
wineserver -w  # a session takes its desktop from the registry when it starts

failures=0
fail() {
    echo "GUI test failed: $*" >&2
    failures=$((failures + 1))
}
expect_eq() {  # actual expected what
    [[ "$1" == "$2" ]] || fail "$3: expected '$2', got '$1'"
}
# Digits on white in that part of the screen are drawn in solid black, as Windows draws the
# dialogs' face at dialog size; smoothed, their darkest pixel stays at 77 or more of 255. A
# window not painted yet is black.
expect_crisp() {  # x y width height what
    local darkest=0 lightest=0 tries=20
    while ((lightest < 200 && tries-- > 0)); do
        sleep 0.2
        read -r darkest lightest <<<"$(import -window root -crop "$3x$4+$1+$2" -colorspace Gray \
            -format '%[fx:round(255*minima)] %[fx:round(255*maxima)]' info:)"
    done
    ((lightest >= 200 && darkest < 50)) ||
        fail "$5: digits drawn grey or not at all (darkest pixel $darkest, lightest $lightest of 255)"
}

probe() { wine "$bin/control_probe.exe" "$@"; }
# Waits until the dialog with that caption is shown. The first dialog in a fresh prefix waits
# for Wine to set up its fonts.
wait_for() {
    local deadline=$((SECONDS + 120))
    while ((SECONDS < deadline)); do
        probe rect "$1" >/dev/null 2>&1 && return 0
        sleep 0.1
    done
    fail "no dialog '$1'"
    probe list >&2 || true
    return 1
}
click() {  # control id, dialog caption
    local point
    point="$(probe center "$1" "$2")" || {
        fail "no control $1 in '$2'"
        return 1
    }
    xdotool mousemove $point click 1
    sleep 0.3
}
# Selects everything in the edit and types over it.
type_into() {  # control id, dialog caption, text
    click "$1" "$2"
    xdotool key Home shift+End
    xdotool type --delay 20 "$3"
}
screenshot() {  # file, captions of the dialogs whose rectangles together are taken
    $screenshots || return 0
    local file="$1" left=100000 top=100000 right=0 bottom=0 x y w h
    shift
    for caption in "$@"; do
        read -r x y w h <<<"$(probe rect "$caption")"
        ((x < left)) && left=$x
        ((y < top)) && top=$y
        ((x + w > right)) && right=$((x + w))
        ((y + h > bottom)) && bottom=$((y + h))
    done
    import -window root -crop "$((right - left))x$((bottom - top))+$left+$top" +repage "$root/docs/$file"
}

# A host directory with the demo's three periods; the host runs in the background.
host_dir=""
new_host_dir() {
    host_dir="$work/$1"
    mkdir -p "$host_dir"
    cp "$bin"/{calvora-host.exe,Calvora.dll,libstdc++-6.dll,libgcc_s_*.dll,libwinpthread-1.dll} \
        "$host_dir/"
    cp "$root/host/demo/sample-periods.tm" "$host_dir/calvora-host.tm"
}
host_pid=""
start_host() {
    (
        cd "$host_dir"
        status=0
        timeout 60 "$wine_loader" calvora-host.exe "$@" >out.txt 2>err.txt || status=$?
        echo "$status" >status
    ) &
    host_pid=$!
}
host_status=""
finish_host() {  # waits for the host and takes its exit status
    wait "$host_pid" || true
    host_status="$(cat "$host_dir/status")"
}
# What the host printed, with the console's CR LF line ends as LF.
output() { tr -d '\r' <"$host_dir/out.txt"; }
periods_listed() { (cd "$host_dir" && wine calvora-host.exe list | wc -l); }

list="时段设置窗口"
form="增加时间段"
box="Calvora"  # message boxes carry the application name
IDOK=1 IDC_PERIOD_LIST=1001 IDC_ADD=1003 IDC_EDIT=1004 IDC_DELETE=1005 IDC_EXIT=1024
IDC_DESC=1021 IDC_TIME_START=1023 IDC_USE_DATES=1027 IDC_YEAR_START=1004 IDC_YEAR_END=1012
IDC_MONTH_START=1005
BOX_TEXT=65535

stage_start=$SECONDS

# 1. No row has the focus on opening, so Edit does nothing. Ticking a row with the mouse and
# the space bar, then Enter for the default button.
new_host_dir tick
start_host set-ex 1 3
wait_for "$list"
screenshot windows-list-dialog.png "$list"
click $IDC_EDIT "$list"
sleep 0.5
probe rect "$form" >/dev/null 2>&1 && fail "tick: Edit opened the form with no focused row"
read -r x y <<<"$(probe corner $IDC_PERIOD_LIST "$list")"
# The number column of the three rows, right of the tick boxes.
expect_crisp "$((x + 20))" "$((y + 22))" 30 40 "tick: the list's numbers"
# The second row's description, below the headings and the first row.
xdotool mousemove "$((x + 80))" "$((y + 50))" click 1
sleep 0.3
xdotool key space Return
finish_host
expect_eq "$host_status" 0 "tick: exit status"
expect_eq "$(output | head -n 1)" "1 2 3" "tick: selection in row order"

# 2. Adding a period: a rejected form shows its notice; the corrected form is accepted.
new_host_dir add
start_host set-ex
wait_for "$list"
click $IDC_ADD "$list"
wait_for "$form"
type_into $IDC_DESC "$form" "Night"
# The first time picker's digits, inside its frame and left of its spin buttons.
read -r x y <<<"$(probe corner $IDC_TIME_START "$form")"
expect_crisp "$((x + 4))" "$((y + 4))" 50 14 "add: the time picker's digits"
click $IDC_USE_DATES "$form"
# A date edit left empty shows 0 once it loses the focus.
type_into $IDC_MONTH_START "$form" 7
xdotool key BackSpace
click $IDC_DESC "$form"
expect_eq "$(probe text $IDC_MONTH_START "$form")" 0 "add: emptied month"
type_into $IDC_YEAR_START "$form" 2025
type_into $IDC_YEAR_END "$form" 2024
xdotool key Return
wait_for "$box"  # the notice, a box of its own
expect_eq "$(probe text $BOX_TEXT "$box")" "Quillet.exe 设置的起始年份不能大于截止年份！" "add: notice"
expect_eq "$(probe text $IDOK "$box")" "确定" "add: notice button"
screenshot windows-edit-form-rejection.png "$form" "$box"
click $IDOK "$box"
type_into $IDC_YEAR_END "$form" 2026
xdotool key Return
sleep 0.5
probe rect "$form" >/dev/null 2>&1 && fail "add: the corrected form stayed open"
click $IDOK "$list"
finish_host
expect_eq "$host_status" 0 "add: exit status"
expect_eq "$(output | tail -n 1)" "增加安全时段 序号:4 描述:Night|){(}|\$" "add: operation log"
expect_eq "$(periods_listed)" 4 "add: periods in the data file"

# 3. Escape and the close box leave the dialog as Cancel does: nothing chosen, nothing saved.
new_host_dir cancel
before="$(md5sum <"$host_dir/calvora-host.tm")"
start_host set-ex 1
wait_for "$list"
xdotool key Escape
finish_host
expect_eq "$host_status" 1 "escape: exit status"
expect_eq "$(output)" "" "escape: output"
start_host set 2
wait_for "$list"
read -r x y w h <<<"$(probe rect "$list")"
xdotool mousemove "$((x + w - 12))" "$((y + 10))" click 1  # the close box in the caption
finish_host
expect_eq "$host_status" 1 "close box: exit status"
expect_eq "$(md5sum <"$host_dir/calvora-host.tm")" "$before" "cancel: data file"

# 4. While the form is open the list behind it is disabled: Delete clicked there does nothing,
# and the confirmed form changes the period it was opened for.
new_host_dir owner
start_host config-ex
wait_for "$list"
read -r x y <<<"$(probe corner $IDC_PERIOD_LIST "$list")"
xdotool mousemove "$((x + 80))" "$((y + 50))" click 1  # the second row, number 2
sleep 0.3
click $IDC_EDIT "$list"
wait_for "$form"
expect_eq "$(probe enabled "$list")" disabled "owner: the list while the form is open"
read -r x y <<<"$(probe center $IDC_DELETE "$list")"
read -r fx fy fw fh <<<"$(probe rect "$form")"
if ((x >= fx && x < fx + fw && y >= fy && y < fy + fh)); then
    fail "owner: the form covers the list's Delete button"
fi
xdotool mousemove "$x" "$y" click 1
sleep 0.3
type_into $IDC_DESC "$form" "Edited"
xdotool key Return
sleep 0.5
probe rect "$form" >/dev/null 2>&1 && fail "owner: the form stayed open"
expect_eq "$(probe enabled "$list")" enabled "owner: the list after the form"
click $IDC_EXIT "$list"
finish_host
expect_eq "$host_status" 0 "owner: exit status"
expect_eq "$(output)" "修改安全时段 序号:2 描述:Edited|){(}|\$" "owner: operation log"
expect_eq "$(periods_listed)" 3 "owner: periods in the data file"

echo "windows GUI: $((SECONDS - stage_start)) s, $failures failure(s)" >&2
((failures == 0))
