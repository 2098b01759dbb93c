#!/bin/bash
# The settings mode of a packed viewer under Wine, with the stand-in engine:
# the dialog shows the stored settings, follows real keys and clicks, stays
# open on Esc and on the caption's close button, and closing with Enter
# writes the settings file back (or, where it cannot be written, says so in a
# box and leaves it as it was), and the saver started afterwards runs at the
# frame delay saved.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"

PROJECT='C:\projects\demo.prj'
NAME="Settings Dialog E2E $$"
INSTALL="$E2E_DIR/install"
CFG="$INSTALL/screensaver.cfg"
SCR="$E2E_DIR/dialogtest.scr"

mkdir -p "$INSTALL/channels" "$INSTALL/3rd"
cp "$ORMELIX_BIN/drovik.dll" "$INSTALL/"
"$ORMELIX_NATIVE_BIN/saverpack" pack "$ORMELIX_BIN/saverviewer.scr" "$SCR" "$NAME" >/dev/null
reg_set "HKLM\\SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000\\$NAME" DisplayName REG_SZ "$(winpath "$INSTALL")"

# le32 N: the four little-endian bytes of a 32-bit value, as printf escapes.
le32() {
    local v=$(( $1 & 0xFFFFFFFF ))
    printf '\\x%02x\\x%02x\\x%02x\\x%02x' $((v & 255)) $((v >> 8 & 255)) $((v >> 16 & 255)) $((v >> 24 & 255))
}

# byte N: one byte, as a printf escape.
byte() { printf '\\x%02x' "$1"; }

# write_settings DELAY DO-NOT-QUIT PREVIEW: the settings file in the engine's
# chunk format (magic "OCHK", then code, size, data per chunk).
write_settings() {
    {
        printf 'OCHKSCFP'; printf "$(le32 259)"; printf '%s' "$PROJECT"
        head -c $((259 - ${#PROJECT})) /dev/zero
        printf 'SCTI'; printf "$(le32 4)$(le32 "$1")"
        printf 'SCQC'; printf "$(le32 1)$(byte "$2")"
        printf 'SCSP'; printf "$(le32 1)$(byte "$3")"
    } >"$CFG"
    cp "$CFG" "$E2E_DIR/stored.cfg"
}

# saved_settings: "delay=D doNotQuit=Q preview=P" from the settings file.
saved_settings() {
    local bytes pos=4 code size value i out=""
    read -ra bytes <<<"$(od -An -v -tu1 "$CFG" | tr '\n' ' ')"
    while [ $pos -lt ${#bytes[@]} ]; do
        code=""
        for i in 0 1 2 3; do code+="$(printf "\\$(printf %03o "${bytes[pos + i]}")")"; done
        size=$((bytes[pos + 4] | bytes[pos + 5] << 8 | bytes[pos + 6] << 16 | bytes[pos + 7] << 24))
        pos=$((pos + 8))
        value=0
        for ((i = size - 1; i >= 0 && size <= 4; i--)); do value=$((value << 8 | bytes[pos + i])); done
        case "$code" in
        SCTI) [ $value -ge 2147483648 ] && value=$((value - 4294967296)); out+="delay=$value " ;;
        SCQC) out+="doNotQuit=$value " ;;
        SCSP) out+="preview=$value" ;;
        esac
        pos=$((pos + size))
    done
    echo "$out"
}

probe() { wine "$ORMELIX_BIN/dialogprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }

# expect_state DESCRIPTION STATE: waits until the dialog shows STATE.
expect_state() {
    local deadline=$((SECONDS + 10)) state
    while :; do
        state="$(probe state)"
        [ "$state" = "$2" ] && { echo "ok: $1"; return 0; }
        [ $SECONDS -ge $deadline ] && fail "$1: expected [$2], got [$state]"
        sleep 0.1
    done
}

probe_shows_slider() { probe state | grep -q "^slider=$1 "; }

# open_dialog ARGS...: starts the packed viewer and waits for its dialog.
open_dialog() {
    start_wine "$SCR" "$@"
    DIALOG_PID=$WINE_PID
    wait_window "Ormelix Screensaver" 20
}

# close_with_enter: Enter ends the dialog; the program exits with 0.
close_with_enter() {
    xdotool key Return
    wait_exit "$DIALOG_PID" 20
    check "exit code" 0 "$EXIT_CODE"
    cmp -s -n 271 "$CFG" "$E2E_DIR/stored.cfg" || fail "project path chunk not written back as read"
}

echo "== no switch: stored 20 is shown and written back untouched"
write_settings 20 0 0
open_dialog
expect_state "delay 20" "slider=20 text=50 FPS doNotQuit=0 preview=0 owner=0"
close_with_enter
check "saved" "delay=20 doNotQuit=0 preview=0" "$(saved_settings)"

echo "== /c: stored 250 clamps to 100; Esc and the close button leave it open; slider keys"
write_settings 250 1 0
open_dialog /c
expect_state "delay 250" "slider=100 text=4 FPS doNotQuit=1 preview=0 owner=0"
# Each cancel is followed by a key whose effect shows the dialog lived on.
xdotool key Escape Tab Home
expect_state "Esc ignored, Home" "slider=1 text=1000 FPS doNotQuit=1 preview=0 owner=0"
read -r x y <<<"$(probe closebutton)" || fail "no close button found"
xdotool mousemove "$x" "$y" click 1
xdotool key End
expect_state "close button ignored, End" "slider=100 text=10 FPS doNotQuit=1 preview=0 owner=0"
xdotool key Home Right Right
expect_state "Right twice from Home" "slider=3 text=333 FPS doNotQuit=1 preview=0 owner=0"
xdotool key Left
expect_state "Left" "slider=2 text=500 FPS doNotQuit=1 preview=0 owner=0"
close_with_enter
check "saved" "delay=2 doNotQuit=1 preview=0" "$(saved_settings)"

echo "== a settings file that cannot be written: a box names it, the file stays as it was"
write_settings 20 0 0
if lock_path "$CFG"; then
    watch_boxes 1
    open_dialog /c
    expect_state "delay 20" "slider=20 text=50 FPS doNotQuit=0 preview=0 owner=0"
    xdotool key Tab End
    expect_state "End" "slider=100 text=10 FPS doNotQuit=0 preview=0 owner=0"
    xdotool key Return
    wait_boxes
    wait_exit "$DIALOG_PID" 20
    unlock_path "$CFG"
    check "exit code" 0 "$EXIT_CODE"
    check "the box names the file" "Ormelix Screensaver|The settings were not saved: the file\\r\\n$(winpath "$CFG")\\r\\ncannot be written." \
        "$(grep -o '^[^|]*|[^|]*cannot be written\.' "$BOXES")"
    cmp -s "$CFG" "$E2E_DIR/stored.cfg" || fail "the settings file changed"
else
    echo "skipped: the settings file cannot be made read-only on this file system"
fi

echo "== /c:<window>: stored -5 shows -200 FPS; check boxes toggled by keys"
start_wine notepad
wait_window "Untitled - Notepad" 20
owner="$(probe handle "Untitled - Notepad")"
write_settings -5 1 0
open_dialog "/c:$owner"
expect_state "delay -5" "slider=1 text=-200 FPS doNotQuit=1 preview=0 owner=$owner"
# Tab order: OK, slider, rate text, do-not-quit, preview.
xdotool key Tab Tab Tab space Tab space
expect_state "both boxes toggled" "slider=1 text=-200 FPS doNotQuit=0 preview=1 owner=$owner"
close_with_enter
check "saved" "delay=1 doNotQuit=0 preview=1" "$(saved_settings)"

echo "== the saver started afterwards runs at the delay the dialog saved"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/enginehost/trace.sh"
saver_install_copy "$E2E_DIR/demo" "$NAME demo" "$ORMELIX_SOURCE/demo"
on_exit "saver_uninstall '$NAME demo'"
start_wine "$SAVER_SCR" /c
wait_window "Ormelix Screensaver" 20
# Keys sent before the dialog shows its settings can be lost under load.
WAIT_SECONDS=10 wait_for "the dialog never showed the demo's delay" probe_shows_slider 20
xdotool key Tab End
WAIT_SECONDS=10 wait_for "the slider never reached 100" probe_shows_slider 100
xdotool key Return
wait_exit "$WINE_PID" 20
check "dialog exit code" 0 "$EXIT_CODE"
start_traced "$SAVER_SCR" /s
wait_window "Screen Saver" 20
wait_frames 6
# Sleep never returns early, so the mean gap cannot fall short of the saved
# 100 ms by more than the clocks' jitter; the demo's own 20 ms would.
check "frames follow the saved 100 ms" "yes" \
    "$(frame_gaps | awk '{ sum += $1; n++ } END { print (n >= 5 && sum / n >= 95) ? "yes" : "no: " n " gaps, mean " sum / n }')"
xdotool key space
wait_exit "$WINE_PID" 20
check "saver exit code" 0 "$EXIT_CODE"
