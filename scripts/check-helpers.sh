# Sourced by the check scripts: a scratch directory removed at exit, failures counted rather
# than fatal, and dialogs answered on a virtual screen of their own.
work="$(mktemp -d)"
xvfb_pid=""
failures=0
cleanup_checks() {
    [[ -n "$xvfb_pid" ]] && kill "$xvfb_pid" 2>/dev/null
    rm -rf "$work"
}
trap cleanup_checks EXIT
fail() {
    echo "FAILED: $*" >&2
    failures=$((failures + 1))
}
expect_eq() {  # actual expected what
    [[ "$1" == "$2" ]] || fail "$3: expected '$2', got '$1'"
}

# Starts Xvfb, which reports the display number it took; sets screen to that display.
screen=""
start_screen() {
    exec {displayfd}<> <(:)
    Xvfb -displayfd "$displayfd" -screen 0 1024x768x24 -nolisten tcp >/dev/null 2>&1 &
    xvfb_pid=$!
    read -r -t 10 display <&"$displayfd"
    screen=":$display"
}

# Runs a command on the screen, presses KEY once it shows a window and sets dialog_status to
# the command's exit status; its output is in $work/dialog.out and $work/dialog.err.
dialog_status=""
answer_dialog() {  # key command...
    local key="$1" pid
    shift
    DISPLAY="$screen" "$@" >"$work/dialog.out" 2>"$work/dialog.err" &
    pid=$!
    if DISPLAY="$screen" timeout 30 xdotool search --sync --onlyvisible --name . >/dev/null; then
        DISPLAY="$screen" xdotool key "$key"
    else
        fail "$* showed no window: $(cat "$work/dialog.err")"
        kill "$pid" 2>/dev/null
    fi
    dialog_status=0
    wait "$pid" || dialog_status=$?
}
