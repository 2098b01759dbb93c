#!/bin/bash
# Window numbers that name no window or a window of another process, handed
# to the packed viewer end to end under Wine: the preview gives up at once
# without one, runs inside another process's window and ends when that
# window goes; the settings dialog takes a foreign top-level window as its
# owner; the Win9x password change ends cleanly whatever the number.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/host/trace.sh"

name="Hostile Windows"
on_exit "saver_uninstall '$name'"
saver_install "$E2E_DIR" "$name" "$ORMELIX_SOURCE/demo/demo.project" 20 0 1

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
echo "hostile windows e2e: all cases passed"
