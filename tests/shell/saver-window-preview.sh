#!/bin/bash
# The preview form under Wine on Xvfb: a child filling a parent window that a
# helper opens, which no input closes, and which hands context-menu requests
# to its parent.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
probe() { wine "$ORMELIX_BIN/saverprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }
field() { probe describe "Preview" | sed -n "s/^$1=//p"; }
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

check "class" WindowsScreenSaverClass "$(field class)"
check "style: child, visible, clip children" 0x52000000 "$(field style)"
check "no extended style" 0x00000000 "$(field exstyle)"
check "parent is the host" "$host" "$(field parent)"
check "size is the parent's client size" "$(field parentclient)" "$(field size)"
check "host client size" 320x240 "$(field parentclient)"
check "no full-screen window" 0 "$(probe count "Screen Saver")"

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
