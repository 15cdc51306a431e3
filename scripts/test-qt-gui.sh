#!/usr/bin/env bash
# Drives the Linux build's dialogs on a virtual screen under a real window manager (openbox)
# with real X input through the demo host: keys in an open drop-down list, a click on the list
# behind the open edit form, a notice outliving the form it reports on, times typed without
# separators, a rejected value typed over, the list's keys, a double-click on a row, a cut
# cell's tip, a dialog that cannot be minimised. Checks what the host printed and which window
# is active or on top. Expects the default preset built. With CALVORA_GUI_SHOTS set to a folder,
# leaves a screenshot of each checked state there.
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
root="$PWD"
scripts/setup.sh gui
bin="$root/build/default"
source scripts/check-helpers.sh

start_screen
export DISPLAY="$screen"
openbox --sm-disable >/dev/null 2>&1 &
wm_pid=$!
trap 'kill "$wm_pid" 2>/dev/null; cleanup_checks' EXIT
for _ in $(seq 100); do
    xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
    sleep 0.1
done

list="时段设置窗口"
form="增加时间段"
box="Calvora"  # message boxes carry the application name
# The templates' sizes in dialog units: controls are found by their template positions.
declare -A units=(["$list"]="309 220" ["$form"]="211 230")

# The window with exactly that caption, shown; empty when there is none.
window_of() { { xdotool search --onlyvisible --name "^$1\$" 2>/dev/null || true; } | head -n 1; }
wait_for() {
    local deadline=$((SECONDS + 30))
    while ((SECONDS < deadline)); do
        [[ -n "$(window_of "$1")" ]] && return 0
        sleep 0.1
    done
    fail "no window '$1'"
}
is_shown() { [[ -n "$(window_of "$1")" ]]; }
# Where a window's inside is on the screen: x y width height. From xwininfo, as xdotool counts
# the window manager's frame in twice.
geometry() {
    xwininfo -id "$(window_of "$1")" |
        awk '/Absolute upper-left [XY]|Width|Height/ { printf "%s ", $NF }'
}
# A click at a point of a dialog given in dialog units.
click_at() {  # caption, x, y[, clicks]
    local x y width height cx cy
    is_shown "$1" || { fail "no window '$1' to click"; return; }
    read -r x y width height <<<"$(geometry "$1")"
    read -r cx cy <<<"${units[$1]}"
    xdotool mousemove "$((x + $2 * width / cx))" "$((y + $3 * height / cy))" click ${4:+--repeat $4 --delay 80} 1
    sleep 0.3
}
# The close box at the right end of the window manager's caption bar, above the window.
click_close_box() {  # caption
    local x y width height
    read -r x y width height <<<"$(geometry "$1")"
    xdotool mousemove "$((x + width - 10))" "$((y - 10))" click 1
    sleep 0.5
}
keys() { xdotool key --delay 50 "$@"; sleep 0.3; }
shot() {  # name
    [[ -n "${CALVORA_GUI_SHOTS:-}" ]] && import -window root "$CALVORA_GUI_SHOTS/$1.png"
    true
}
# The window with the keyboard focus, which the window manager may give where it does not show it.
active_caption() { xdotool getwindowfocus getwindowname 2>/dev/null; }
# Whether the first window is stacked above the second, as the window manager keeps them.
stacked_above() {  # caption, caption
    local upper lower
    upper="$(printf '0x%x' "$(window_of "$1")")"
    lower="$(printf '0x%x' "$(window_of "$2")")"
    xprop -root _NET_CLIENT_LIST_STACKING | cut -d'#' -f2 | tr -d ' ' | tr ',' '\n' |
        awk -v upper="$upper" -v lower="$lower" \
            '$0 == lower { seen = 1 } $0 == upper && seen { found = 1 } END { exit !found }'
}

# Points in dialog units: the list's buttons and its second row, the form's controls.
add=(281 23) edit=(281 45) delete=(281 69) ok=(100 206) exit_button=(281 93) row2=(40 30)
use_weekdays=(14 128) week_start=(65 145) week_end=(176 145)
use_dates=(14 47) month_start=(67 86) time_start_hour=(30 184) row1=(40 21)

host_dir=""
host_pid=""
start_host() {  # name, command...
    host_dir="$work/$1"
    shift
    mkdir -p "$host_dir"
    cp "$bin"/{calvora-host,Calvora.so,CalvoraQt.so} "$host_dir/"
    cp "$root/host/demo/sample-periods.tm" "$host_dir/calvora-host.tm"
    (
        status=0
        timeout 60 "$host_dir/calvora-host" "$@" >"$host_dir/out.txt" 2>"$host_dir/err.txt" ||
            status=$?
        echo "$status" >"$host_dir/status"
    ) &
    host_pid=$!
}
host_status=""
finish_host() {
    while [[ ! -f "$host_dir/status" ]] && kill -0 "$host_pid" 2>/dev/null; do sleep 0.1; done
    host_status="$(cat "$host_dir/status" 2>/dev/null || echo none)"
}
output() { cat "$host_dir/out.txt"; }

stage_start=$SECONDS

# 1 and 2. In an open drop-down list Escape closes the list and Enter chooses an item; neither
# reaches the form, which keeps what was typed until its own Enter.
start_host dropdown set-ex
wait_for "$list"
click_at "$list" "${add[@]}"
wait_for "$form"
xdotool type --delay 20 "Night"
click_at "$form" "${use_weekdays[@]}"
click_at "$form" "${week_end[@]}"
keys Down Escape
is_shown "$form" || fail "dropdown: Escape in the open list closed the form"
click_at "$form" "${week_start[@]}"
keys Down Return
is_shown "$box" && fail "dropdown: Enter in the open list pressed the form's OK button"
is_shown "$form" || fail "dropdown: Enter in the open list closed the form"
click_at "$form" "${week_end[@]}"
keys Down Down Return
is_shown "$form" || fail "dropdown: Enter in the open end list closed the form"
keys Return
is_shown "$form" && fail "dropdown: the form's own Enter left it open"
click_at "$list" "${ok[@]}"
finish_host
expect_eq "$host_status" 0 "dropdown: exit status"
expect_eq "$(output | tail -n 1)" "增加安全时段 序号:4 描述:Night|){(}|\$" "dropdown: operation log"
expect_eq "$(cd "$host_dir" && ./calvora-host list | tail -n 1 | cut -f 3)" \
    "日期范围：每天;星期范围：星期二->星期三" \
    "dropdown: the new period's weekdays"

# 3. The list behind the open form is never activated: a double-click on Edit whose second
# click lands on the list, then a click on Delete, leave the form active with the keyboard.
start_host owner config-ex
wait_for "$list"
click_at "$list" "${row2[@]}"
click_at "$list" "${edit[@]}" 2
wait_for "$form"
click_at "$list" "${delete[@]}"
expect_eq "$(active_caption)" "$form" "owner: the window with the keyboard after a click on the list"
xdotool type --delay 20 "xyz"
keys Return
is_shown "$form" && fail "owner: the form stayed open"
click_at "$list" "${exit_button[@]}"
finish_host
expect_eq "$host_status" 0 "owner: exit status"
expect_eq "$(output)" "修改安全时段 序号:2 描述:xyz|){(}|\$" "owner: operation log"

# 4. A notice stays above the form it reports on, and above the list once the form is closed.
start_host notice set-ex 1
wait_for "$list"
click_at "$list" "${add[@]}"
wait_for "$form"
keys Tab Tab
xdotool type --delay 20 "13:00:00"
keys Tab
xdotool type --delay 20 "12:00:00"
keys Return
wait_for "$box"
stacked_above "$box" "$form" || fail "notice: below the form"
click_close_box "$form"
is_shown "$form" && fail "notice: the form stayed open"
click_at "$list" "${row2[@]}"
is_shown "$box" || fail "notice: gone with the form"
stacked_above "$box" "$list" || fail "notice: behind the list dialog"
xdotool windowactivate --sync "$(window_of "$box")" key Return
sleep 0.3
is_shown "$box" && fail "notice: Enter left it open"
keys Escape
finish_host
expect_eq "$host_status" 1 "notice: exit status"
expect_eq "$(output)" "" "notice: output"

# 5. Times typed without separators move on once a field is full; a value refused for its range
# is selected when the form has the keyboard again, so that what is typed replaces it.
start_host typing set-ex
wait_for "$list"
click_at "$list" "${add[@]}"
wait_for "$form"
xdotool type --delay 20 "Day"
click_at "$form" "${use_dates[@]}"
click_at "$form" "${month_start[@]}"
xdotool type --delay 20 "13"
keys Return
wait_for "$box"
xdotool windowactivate --sync "$(window_of "$box")" key Return
sleep 0.5
xdotool windowactivate --sync "$(window_of "$form")"
sleep 0.3
shot typing-rejected
xdotool type --delay 20 "12"
click_at "$form" "${time_start_hour[@]}"
xdotool type --delay 20 "083000"
keys Tab
xdotool type --delay 20 "173000"
shot typing-times
keys Return
is_shown "$form" && fail "typing: the form stayed open"
click_at "$list" "${ok[@]}"
finish_host
expect_eq "$(output | tail -n 1)" "增加安全时段 序号:4 描述:Day|){(}|\$" "typing: operation log"
expect_eq "$(cd "$host_dir" && ./calvora-host list | tail -n 1 | cut -f 3-4)" \
    "$(printf '日期范围：从12月起;\t08:30:00至17:30:00')" "typing: the new period"

# 6. The list's keys select as a report list's do: End the last row alone, Shift+Home every row
# up from the anchor. A double-click on a row edits it as Edit does, and a cut cell shows its
# whole text as a tip.
start_host keys config-ex
wait_for "$list"
click_at "$list" "${row2[@]}"
keys End
shot keys-end
click_at "$list" "${delete[@]}"
click_at "$list" "${row2[@]}"
keys shift+Home
click_at "$list" "${delete[@]}"
click_at "$list" "${add[@]}"
wait_for "$form"
xdotool type --delay 20 "A"
keys Return
click_at "$list" "${row1[@]}" 2
wait_for "$form"
expect_eq "$(active_caption)" "$form" "keys: the window after a double-click on a row"
xdotool type --delay 20 "B"
keys Return
# The date column, 100 pixels wide from 180 pixels into the list, cannot show the whole text.
read -r x y width height <<<"$(geometry "$list")"
xdotool mousemove "$((x + 7 * width / 309 + 230))" "$((y + 21 * height / 220))"
sleep 0.3
xdotool mousemove_relative 2 0
sleep 1.5
shot keys-tip
# The tip is a window of its own, without a caption, just below the pointer.
tip="$(xdotool search --onlyvisible --name '^$' 2>/dev/null | while read -r id; do
    xwininfo -id "$id" | grep -q 'Override Redirect State: yes' && echo "$id"
done | head -n 1 || true)"
[[ -n "$tip" ]] || fail "keys: no tip over the cut date cell"
click_at "$list" "${exit_button[@]}"
finish_host
expect_eq "$(output | grep -o '序号:[0-9]*' | tr '\n' ' ')" "序号:3 序号:2 序号:1 序号:0 序号:0 " \
    "keys: the rows deleted, added and edited"

# 7. A modal dialog asks the window manager for the template's title bar, with neither minimise
# nor maximise (openbox draws its buttons anyway), and refuses to be minimised: both dialogs
# stay on screen and the form keeps the keyboard.
start_host title config-ex
wait_for "$list"
click_at "$list" "${add[@]}"
wait_for "$form"
for caption in "$list" "$form"; do
    # Motif hints: flags, functions, decorations; minimise and maximise are 0x18 and 0x60.
    read -r functions decorations < <(xprop -id "$(window_of "$caption")" _MOTIF_WM_HINTS |
        awk -F'[=,]' '{ print $3, $4 }')
    ((functions & 0x20 && !(functions & 0x18) && !(decorations & 0x60))) ||
        fail "title: $caption asks for functions $functions and decorations $decorations"
done
xdotool windowminimize "$(window_of "$form")"
sleep 1
shot title-minimise
is_shown "$form" && is_shown "$list" || fail "title: minimised"
expect_eq "$(active_caption)" "$form" "title: the window with the keyboard after minimising"
keys Escape
click_at "$list" "${exit_button[@]}"
finish_host
expect_eq "$host_status" 0 "title: exit status"

echo "Qt GUI: $((SECONDS - stage_start)) s, $failures failure(s)" >&2
((failures == 0))
