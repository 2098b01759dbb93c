#!/bin/bash
# The shell's real entry and modes, in a test build whose saver window and
# settings dialog print what they were asked to do: switches, window numbers
# against a real window, exit codes as the shell sees them, and the
# last-chance guard on NT and on Win9x.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
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

wine "$ORMELIX_BIN/parentwindow.exe" 60 >"$E2E_DIR/parent" 2>>"$E2E_DIR/wine.log" &
E2E_PIDS+=($!)
for _ in $(seq 200); do [ -s "$E2E_DIR/parent" ] && break; sleep 0.05; done
parent="$(tr -d '\r' <"$E2E_DIR/parent")"
[ -n "$parent" ] || fail "the parent window helper printed no handle"
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
