#!/bin/bash
# The command-line modes. First the shell's real entry in a test build whose
# saver window and settings dialog print what they were asked to do:
# switches, window numbers against a real window, exit codes as the shell
# sees them, and the last-chance guard on NT and on Win9x. Then the packed
# viewer with window numbers that name no window or a window of another
# process: the preview gives up at once without one, runs inside another
# process's window and ends when that window goes; the settings dialog takes
# a foreign top-level window as its owner; the Win9x password change ends
# cleanly whatever the number.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/enginehost/trace.sh"
cp "$ORMELIX_BIN/shellprobe.scr" "$ORMELIX_BIN/mpr/MPR.DLL" "$E2E_DIR/"
probe="$E2E_DIR/shellprobe.scr"
# The stand-in MPR.DLL beside the probe is loaded only where a case asks for it.
standin_mpr=mpr=n
running() { wine "$ORMELIX_BIN/screensaverrunning.exe" "$@" 2>/dev/null | tr -d '\r'; }

# shell ARGS...: runs the probe; its output lines joined by commas in OUT.
shell() {
    set +e
    wine "$probe" "$@" >"$E2E_DIR/out" 2>>"$E2E_DIR/wine.log"
    EXIT_CODE=$?
    set -e
    OUT="$(tr -d '\r' <"$E2E_DIR/out" | paste -sd, || true)"
}
expect() {  # DESCRIPTION EXIT OUTPUT ARGS...
    local what=$1 code=$2 out=$3
    shift 3
    shell "$@"
    check "$what: exit code" "$code" "$EXIT_CODE"
    check "$what: output" "$out" "$OUT"
}

# parent_window SECONDS: a top-level window of another process that lives
# SECONDS; its number is in PARENT, its process in PARENT_PID.
parent_window() {
    local out="$E2E_DIR/parent.$RANDOM"
    wine "$ORMELIX_BIN/parentwindow.exe" "$1" >"$out" 2>>"$E2E_DIR/wine.log" &
    PARENT_PID=$!
    E2E_PIDS+=("$PARENT_PID")
    WAIT_SECONDS=20 wait_for "the parent window never printed its number" grep -qs '[0-9]' "$out"
    PARENT="$(tr -d '\r' <"$out" | head -n1)"
}

parent_window 60
parent=$PARENT
wrapped=$((parent + 3 * 4294967296))  # eleven digits that wrap to the parent
shell /c
foreground="${OUT%%,*}"
foreground="${foreground#foreground }"
echo "parent window $parent, foreground window $foreground"

expect "no switch: settings without owner" 5 "foreground $foreground,settings owner 0"
expect "/s runs full screen" 7 "window 0" /s
expect "-S" 7 "window 0" -S
expect "'/ -s'" 7 "window 0" / -s
expect "/save" 7 "window 0" /save
expect "/x is rejected with -1" 255 "" /x
expect "/? is rejected" 255 "" "/?"
expect "/p names a real window" 7 "window $parent" /p "$parent"
expect "/p without blank" 7 "window $parent" "/p$parent"
expect "/P upper case" 7 "window $parent" /P "$parent"
expect "/l behaves as /p" 7 "window $parent" /l "$parent"
expect "eleven digits wrap to the window" 7 "window $parent" /p "$wrapped"
expect "/p alone creates nothing" 255 "" /p
expect "/p 0" 255 "" /p 0
expect "/p abc" 255 "" /p abc
expect "/p:NNN carries no number" 255 "" "/p:$parent"
expect "/p with a number that names no window" 255 "" /p 530
expect "/c:NNN owns the settings" 5 "foreground $foreground,settings owner $parent" "/c:$parent"
expect "/c NNN uses the foreground window" 5 "foreground $foreground,settings owner $foreground" /c "$parent"
expect "/c:0 uses the foreground window" 5 "foreground $foreground,settings owner $foreground" /c:0
expect "/a on NT is rejected" 255 "" /a "$parent"
WINEDLLOVERRIDES=$standin_mpr expect "/a on NT loads nothing" 255 "" /a "$parent"
ORMELIX_PROBE_NO_CONTROLS=1 expect "controls refused: 0, no dialog" 0 "foreground $foreground"

# The guard: a fault in the mode or inside a window procedure ends with -1;
# on NT the running state is left alone.
running 0 >/dev/null
ORMELIX_PROBE_FAULT=mode expect "NT: fault in the mode" 255 "window 0" /s
check "NT: running state untouched" 1 "$(running)"
ORMELIX_PROBE_FAULT=window expect "NT: fault in a window procedure" 255 "window 0" /s

# Win9x: the password change runs and the guard clears the running state.
reg_set 'HKCU\Software\Wine\AppDefaults\shellprobe.scr' Version REG_SZ win98
changer="MPR.DLL loaded,password changer SCRSAVE"
WINEDLLOVERRIDES=$standin_mpr expect "Win9x: /a with a parent" 0 "$changer $parent 0 0" /a "$parent"
WINEDLLOVERRIDES=$standin_mpr expect "Win9x: /A upper case" 0 "$changer $parent 0 0" /A "$parent"
WINEDLLOVERRIDES=$standin_mpr expect "Win9x: /a alone uses the foreground window" 0 "$changer $foreground 0 0" /a
WINEDLLOVERRIDES=$standin_mpr expect "Win9x: /a with no such window" 0 "$changer $foreground 0 0" /a 530
expect "Win9x: the system's own MPR.DLL, silently" 0 "" /a "$parent"
running 0 >/dev/null
ORMELIX_PROBE_FAULT=mode expect "Win9x: fault in the mode" 255 "window 0" /s
check "Win9x: the guard cleared the running state" 0 "$(running)"
running 0 >/dev/null
ORMELIX_PROBE_FAULT=window expect "Win9x: fault in a window procedure" 255 "window 0" /s
check "Win9x: cleared after a window-procedure fault" 0 "$(running)"

# --- The packed viewer and the window numbers users and other programs can hand it.
name="Hostile Windows"
on_exit "saver_uninstall '$name'"
saver_install "$E2E_DIR" "$name" "$ORMELIX_SOURCE/demo/demo.project" 20 0 1

# 1. Preview without a window: -1 at once, no window, no engine.
parent_window 0
wait_exit "$PARENT_PID" 20
destroyed=$PARENT
for number in 0 12345 4294967295 99999999999 "$destroyed"; do
    rm -f "$E2E_DIR/trace.txt"
    start_traced "$SAVER_SCR" /p "$number"
    wait_exit "$WINE_PID" 20
    check "/p $number: exit code -1" 255 "$EXIT_CODE"
    check "/p $number: no engine loaded" "" "$(trace_calls)"
done

# 2. A window of another process: the preview runs the project inside it;
# when that process ends and its window goes, the preview ends too, its
# engine destroyed after the last frame.
parent_window 60
start_traced "$SAVER_SCR" /p "$PARENT"
wait_frames 3
wine taskkill /f /im parentwindow.exe >>"$E2E_DIR/wine.log" 2>&1
WAIT_SECONDS=20 wait_for "the parent process never ended" process_gone "$PARENT_PID"
echo "ok: the parent ended"
wait_exit "$WINE_PID" 20
check "the parent's window went: the preview ends, exit code" 0 "$EXIT_CODE"
check "the engine destroyed after the last frame" "Frame|Destroy 1" "$(trace_calls | tail -n2 | paste -sd'|')"

# 3. The settings dialog: a foreign top-level window becomes its owner; a
# number of no window leaves it to the foreground window.
dialog_owner() { wine "$ORMELIX_BIN/dialogprobe.exe" state 2>/dev/null | tr -d '\r' | sed -n 's/.* owner=//p'; }
close_dialog() {
    xdotool key Return
    wait_exit "$WINE_PID" 20
    check "$1: the dialog ends, exit code" 0 "$EXIT_CODE"
}
parent_window 30
start_wine "$SAVER_SCR" "/c:$PARENT"
wait_window "Ormelix Screensaver" 20
check "/c: a window of another process owns the dialog" "$PARENT" "$(dialog_owner)"
close_dialog "/c:$PARENT"
for number in 4294967295 "$destroyed"; do
    start_wine "$SAVER_SCR" "/c:$number"
    wait_window "Ormelix Screensaver" 20
    owner="$(dialog_owner)"
    [ -n "$owner" ] && [ "$owner" != "$number" ] || fail "/c:$number: owner [$owner]"
    echo "ok: /c:$number: the dialog is not owned by the number ($owner)"
    close_dialog "/c:$number"
done

# 4. Win9x password change with any number: the system's changer is called
# (or missing) and the mode ends with 0.
reg_set "HKCU\\Software\\Wine\\AppDefaults\\$name.scr" Version REG_SZ win98
for number in 0 4294967295 "$destroyed" "$PARENT"; do
    start_wine "$SAVER_SCR" /a "$number"
    wait_exit "$WINE_PID" 20
    check "Win9x /a $number: exit code" 0 "$EXIT_CODE"
done
echo "shell modes e2e: all cases passed"
