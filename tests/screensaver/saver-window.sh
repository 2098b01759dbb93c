#!/bin/bash
# The saver window under Wine on Xvfb, driven with real input: the
# full-screen form, the single-instance rule and what closes it with exit
# code 0; the preview form inside another process's window, which no input
# closes and which hands context-menu requests to its parent; and the Win9x
# password check with a stand-in "PASSWORD.CPL" beside the saver (asked on
# close, a refusal keeps the saver, the AutoPlay query's answer depends on
# the verifier), none of which happens on an NT-family system.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
probe() { wine "$ORMELIX_BIN/saverprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# --- Full screen
saver="$ORMELIX_BIN/saverwindow_test.scr"
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

# --- Preview
preview_field() { probe describe "Preview" | sed -n "s/^$1=//p"; }
post() { probe post "Preview" "$@" >/dev/null || fail "post $*: no preview window"; }

host_printed() { tr -d '\r' <"$E2E_DIR/host.out" | grep -q -- "$1"; }
preview_exists() { probe describe "Preview" >/dev/null; }

: >"$E2E_DIR/host.out"
wine "$ORMELIX_BIN/saverprobe.exe" host 320 240 >"$E2E_DIR/host.out" 2>>"$E2E_DIR/wine.log" &
E2E_PIDS+=("$!")
wait_for "the host never printed its window" host_printed "^window="
host="$(tr -d '\r' <"$E2E_DIR/host.out" | sed -n 's/^window=//p')"

start_wine "$ORMELIX_BIN/saverwindow_test.scr" /p "$host"
saver_pid=$WINE_PID
wait_for "no preview window inside the host" preview_exists

check "preview: class" WindowsScreenSaverClass "$(preview_field class)"
check "preview: style: child, visible, clip children" 0x52000000 "$(preview_field style)"
check "preview: no extended style" 0x00000000 "$(preview_field exstyle)"
check "preview: parent is the host" "$host" "$(preview_field parent)"
check "preview: size is the parent's client size" "$(preview_field parentclient)" "$(preview_field size)"
check "preview: host client size" 320x240 "$(preview_field parentclient)"
check "preview: no full-screen window" 0 "$(probe count "Screen Saver")"

# Real input over the preview, then every kind of closing message posted.
xdotool mousemove 200 150 sleep 0.1 mousemove_relative -- 40 30 click 1 key space
post 0x0100 0x20 0       # WM_KEYDOWN
post 0x0201 1 0          # WM_LBUTTONDOWN
post 0x0204 2 0          # WM_RBUTTONDOWN
post 0x001C 0 0          # WM_ACTIVATEAPP, losing
post 0x0218 4 0          # PBT_APMSUSPEND
post 0x0048 3 0          # WM_POWER, critical resume
post 0x0112 0xF170 2     # SC_MONITORPOWER

# A context-menu request reaches the parent with the parent's own handle.
# Posted messages are handled in order, so once the second request arrived
# any close queued by the inputs above would have ended the preview.
post 0x007B 0 12345
wait_for "the context menu never reached the host" host_printed "^contextmenu self=1 lparam=12345$"
echo "ok: context menu reaches the parent"
post 0x007B 0 777
wait_for "the second context menu never reached the host" host_printed "^contextmenu self=1 lparam=777$"
sleep 0.3
kill -0 "$saver_pid" 2>/dev/null || fail "an input closed the preview"
echo "ok: no input closes the preview"

# WM_CLOSE ends it; the loop's result is the exit code.
post 0x0010 0 0
wait_exit "$saver_pid" 20
check "preview exit code" 0 "$EXIT_CODE"

# --- Win9x password check
cp "$ORMELIX_BIN/saverwindow_test.scr" "$ORMELIX_BIN/password/PASSWORD.CPL" "$E2E_DIR/"
saver="$E2E_DIR/saverwindow_test.scr"
desktop='HKCU\Control Panel\Desktop'
appdefaults='HKCU\Software\Wine\AppDefaults\saverwindow_test.scr'

export ORMELIX_PASSWORD_LOG ORMELIX_SAVER_RUNNING_LOG ORMELIX_PASSWORD_ANSWERS
ORMELIX_PASSWORD_LOG="$(winpath "$E2E_DIR")\\password.log"
ORMELIX_SAVER_RUNNING_LOG="$(winpath "$E2E_DIR")\\running.log"

# run_saver ANSWERS: a fresh full-screen saver whose verifier answers ANSWERS.
run_saver() {
    ORMELIX_PASSWORD_ANSWERS=$1
    rm -f "$E2E_DIR/password.log" "$E2E_DIR/running.log"
    start_wine "$saver" /s
    SAVER_PID=$WINE_PID
    wait_window "Screen Saver" 20
}
asked() { [ -f "$E2E_DIR/password.log" ] && tr -d '\r' <"$E2E_DIR/password.log" | grep -c '^asked' || echo 0; }
running_log() { [ -f "$E2E_DIR/running.log" ] && tr -d '\r' <"$E2E_DIR/running.log" | paste -sd, || true; }
asked_at_least() { [ "$(asked)" -ge "$1" ]; }
wait_asked() { wait_for "the verifier was not asked $1 time(s)" asked_at_least "$1"; }

reg_set "$appdefaults" Version REG_SZ win98
reg_set "$desktop" ScreenSaveUsePassword REG_DWORD 1

# Refused, then accepted: the first key press asks and the saver stays; after
# the quiet time a second key press asks again and the saver ends.
run_saver 01
check "screen-saver-running set with the verifier" "running 1" "$(running_log)"
# A second start while this one runs loads no verifier and releases none.
set +e; wine "$saver" /s >>"$E2E_DIR/wine.log" 2>&1; second=$?; set -e
check "Win9x: second start exit code" 0 "$second"
check "second start leaves the running state alone" "running 1" "$(running_log)"
xdotool key space
wait_asked 1
sleep 0.5
kill -0 "$SAVER_PID" 2>/dev/null || fail "a refused password closed the saver"
echo "ok: refusal keeps the saver"
xdotool key space
wait_exit "$SAVER_PID" 20
check "accepted: exit code" 0 "$EXIT_CODE"
check "asked twice" 2 "$(asked)"
check "no close queued behind the dialog" "asked 1 pending-close 0" \
    "$(tr -d '\r' <"$E2E_DIR/password.log" | head -n1)"
check "screen-saver-running set and cleared" "running 1,running 0" "$(running_log)"

# The AutoPlay query with a verifier: answered 1, and the close it posts asks.
run_saver 1
check "AutoPlay with a verifier" "answer=1" "$(probe autoplay "Screen Saver")"
wait_exit "$SAVER_PID" 20
check "AutoPlay close: exit code" 0 "$EXIT_CODE"
check "AutoPlay close asked the verifier" 1 "$(asked)"

# No password set: no verifier, AutoPlay answered 0, closing asks nobody.
wine reg add "$desktop" /v ScreenSaveUsePassword /t REG_DWORD /d 0 /f >/dev/null 2>&1
run_saver 0
check "no verifier, no running state" "" "$(running_log)"
check "AutoPlay without a verifier" "answer=0" "$(probe autoplay "Screen Saver")"
wait_exit "$SAVER_PID" 20
check "no verifier: exit code" 0 "$EXIT_CODE"
check "no verifier: never asked" 0 "$(asked)"

# An NT-family system ignores the password setting and the AutoPlay query.
wine reg add "$desktop" /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f >/dev/null 2>&1
wine reg delete "$appdefaults" /v Version /f >/dev/null 2>&1
run_saver 0
check "NT: no running state" "" "$(running_log)"
check "NT: AutoPlay query is not special" "answer=0" "$(probe autoplay "Screen Saver")"
sleep 0.5
kill -0 "$SAVER_PID" 2>/dev/null || fail "NT: the AutoPlay query closed the saver"
xdotool key space
wait_exit "$SAVER_PID" 20
check "NT: key press exit code" 0 "$EXIT_CODE"
check "NT: never asked" 0 "$(asked)"
