#!/bin/bash
# The full-screen saver window under Wine on Xvfb: its form, the
# single-instance rule, and real input closing it with exit code 0.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
saver="$ORMELIX_BIN/saverwindow_test.scr"
probe() { wine "$ORMELIX_BIN/saverprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }
field() { probe describe "Screen Saver" | sed -n "s/^$1=//p"; }

start_saver() {
    start_wine "$saver" /s
    SAVER_PID=$WINE_PID
    wait_window "Screen Saver" 20
}

# still_running REASON: half a second after the input, the saver is still there
# (a close it posted would have ended it within milliseconds).
still_running() {
    sleep 0.5
    kill -0 "$SAVER_PID" 2>/dev/null || fail "$1: the saver closed"
    echo "ok: $1"
}

closes_with_zero() {
    wait_exit "$SAVER_PID" 20
    check "$1: exit code" 0 "$EXIT_CODE"
}

# The window's form: popup over the whole virtual screen, topmost, black.
start_saver
check "class" WindowsScreenSaverClass "$(field class)"
check "class style (vredraw, hredraw, dblclks, owndc)" 0x2b "$(field classstyle)"
check "style: popup, visible, clip siblings and children" 0x96000000 "$(field style)"
check "extended style: topmost" 0x00000008 "$(field exstyle)"
check "position is the virtual screen's" "$(field screen | cut -d, -f1,2)" "$(field position)"
check "size is the virtual screen's" "$(field screen | cut -d, -f3)" "$(field size)"
import -window root "$E2E_DIR/shot.png"
check "black at the centre" "gray(0)" "$(convert "$E2E_DIR/shot.png" -format '%[pixel:p{512,384}]' info:)"
check "black at a corner" "gray(0)" "$(convert "$E2E_DIR/shot.png" -format '%[pixel:p{3,3}]' info:)"

# A second full-screen start finds the first, exits 0 and creates nothing.
set +e; wine "$saver" /s >>"$E2E_DIR/wine.log" 2>&1; second=$?; set -e
check "second start exit code" 0 "$second"
check "one saver window" 1 "$(probe count "Screen Saver")"

# A real key press closes it.
xdotool key space
closes_with_zero "key press"

# A real click closes it.
start_saver
xdotool click 1
closes_with_zero "click"

# Small real moves add up against the same reference: 4 stays, one more closes.
start_saver
xdotool mousemove_relative -- 2 2
still_running "travel 4"
xdotool mousemove_relative -- 1 0
closes_with_zero "travel 4 then 1 more"

# A large real move closes at once.
start_saver
xdotool mousemove_relative -- 60 40
closes_with_zero "large move"

# A release alone does not close; WM_ACTIVATEAPP 1 neither, 0 does.
start_saver
probe post "Screen Saver" 0x0101 0x20 0 >/dev/null   # WM_KEYUP
probe post "Screen Saver" 0x001C 1 0 >/dev/null      # WM_ACTIVATEAPP, gaining
still_running "key release and activation"
probe post "Screen Saver" 0x001C 0 0 >/dev/null      # WM_ACTIVATEAPP, losing
closes_with_zero "loss of activation"

# Power: a resume from failure stays; SC_MONITORPOWER closes.
start_saver
probe post "Screen Saver" 0x0218 7 1 >/dev/null      # PBT_APMRESUMESUSPEND from failure
probe post "Screen Saver" 0x0112 0xF141 0 >/dev/null # not SC_SCREENSAVE: low bits differ
still_running "resume from failure"
probe post "Screen Saver" 0x0112 0xF170 2 >/dev/null # SC_MONITORPOWER
closes_with_zero "monitor power"
