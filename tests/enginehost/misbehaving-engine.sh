#!/bin/bash
# An engine that misbehaves on request (the stand-in's "test-" project lines)
# and a settings file out of range, end to end under Wine: whatever the engine
# does, the saver's process is gone within 2 s of the key or of the preview's
# parent going; a frame thread stuck in the engine is given up on without
# Destroy; a fault on either thread ends the process with -1, no crash dialog,
# the Win9x running state cleared; the normal stop stays the last Frame, then
# Destroy 1; and the settings file is never rewritten.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/enginehost/trace.sh"

name="Misbehaving Engine"
on_exit "saver_uninstall '$name'"
win98_key="HKCU\\Software\\Wine\\AppDefaults\\$name.scr"
on_exit "wine reg delete '$win98_key' /f >/dev/null 2>&1"
running() { wine "$ORMELIX_BIN/screensaverrunning.exe" "$@" 2>/dev/null | tr -d '\r'; }
now_ms() { echo $(($(date +%s%N) / 1000000)); }
# start_saver ARGS...: the saver through "start /wait", whose exit code is the
# saver's as Windows reports it. A process that ends itself while another of
# its threads talks to the wineserver leaves Wine's launcher now and then with
# 1 ("wine client error"), whatever its Windows exit code.
start_saver() { start_traced start /wait /unix "$SAVER_SCR" "$@"; }

# case | test line | SCTI | mode | Windows | trace waited for before the cause
# (a regular expression, a number of frames, or - for none) | what ends it
# (key, mouse, parent, itself, or stays: do-not-quit on, the mouse moves, the
# saver still there 2 s later, then taskkill, whose code is 0) | exit code | the engine's last two calls
# (Destroy is always the last one made)
cases=(
    "hang in Frame, then a key|test-hang-frame 3|20|/s|nt|^TestHang Frame 3$|key|0|Frame,Frame"
    "hang in Frame in the preview, then its parent goes|test-hang-frame 3|20|/p|nt|^TestHang Frame 3$|parent|0|Frame,Frame"
    # Under Wine a key reaches no one while the window thread is stuck (its
    # window's input is read on that thread); the cursor's moves do.
    "hang in WindowMessage, then the mouse moves|test-hang-message 0x000F|20|/s|nt|^TestHang WindowMessage 0x000F$|mouse|0|Frame,Frame"
    "hang in WindowMessage in the preview, then its parent goes|test-hang-message 0x000F|20|/p|nt|^TestHang WindowMessage 0x000F$|parent|0|Frame,Frame"
    "hang in WindowMessage with do-not-quit, then the mouse moves|test-hang-message 0x000F|20|/s|nt|^TestHang WindowMessage 0x000F$|stays|0|Frame,Frame"
    "hang in WindowMessage on the close a key asks for|test-hang-message 0x0010|20|/s|nt|3|key|0|Frame,Frame"
    "hang in Destroy, then a key|test-hang-destroy|20|/s|nt|3|key|0|Frame,Destroy 1"
    # The window thread sees the frame held until it answers: a send, not a post.
    "Frame sends to its window, then a key|test-frame-sends|20|/s|nt|^TestSent 0x8000 frame waiting$|key|0|Frame,Destroy 1"
    "a 250 ms slower Frame is waited for|test-slow-frame 250|20|/s|nt|3|key|0|Frame,Destroy 1"
    # The frame, in progress when the stop comes, sends WM_CLOSE: the window
    # still goes only after the engine (checked for every key below).
    "Frame sends WM_CLOSE during the stop|test-slow-frame 250\ntest-frame-closes|20|/s|nt|3|key|0|Frame,Destroy 1"
    # Five frames at the delay the file asks for would take 40 s.
    "a delay of 8000 ms in the settings file, then a key||8000|/s|nt|5|key|0|Frame,Destroy 1"
    "fault in Frame 3 on NT|test-fault-frame 3|20|/s|nt|-|itself|255|Frame,Frame"
    "fault in Frame 3 on Win9x|test-fault-frame 3|20|/s|win98|-|itself|255|Frame,Frame"
    "fault in WindowMessage on the key|test-fault-message 0x0100|20|/s|nt|3|key|255|Frame,Frame"
    # Wine drops a fault raised while CreateWindowEx runs the window procedure,
    # so no guard sees it: the saver stays up without a project until the key.
    "fault in LoadProject, then a key|test-fault-load|20|/s|nt|^TestFault LoadProject$|key|0|LoadProject project.txt,Destroy 1"
)

for row in "${cases[@]}"; do
    IFS='|' read -r what line delay mode platform ready cause code ends <<<"$row"
    { cat "$ORMELIX_SOURCE/demo/demo.project"; printf '%b\n' "$line"; } >"$E2E_DIR/case.project"
    saver_install "$E2E_DIR" "$name" "$E2E_DIR/case.project" "$delay" "$([ "$cause" = stays ] && echo 1 || echo 0)" 1
    cp "$SAVER_INSTALL/screensaver.cfg" "$E2E_DIR/settings.before"
    if [ "$platform" = win98 ]; then
        wine reg add "$win98_key" /v Version /t REG_SZ /d win98 /f >/dev/null 2>&1
        running 1 >/dev/null
    fi

    if [ "$mode" = /p ]; then
        wine "$ORMELIX_BIN/parentwindow.exe" 60 >"$E2E_DIR/parent.txt" 2>>"$E2E_DIR/wine.log" &
        E2E_PIDS+=("$!")
        wait_for "$what: the parent window never printed its number" grep -qs '[0-9]' "$E2E_DIR/parent.txt"
        start_saver /p "$(tr -d '\r' <"$E2E_DIR/parent.txt" | head -n1)"
    else
        start_saver /s
    fi
    if [ "$cause" != itself ]; then
        [ "$mode" = /s ] && wait_window "Screen Saver" 20
        case "$ready" in [0-9]*) wait_frames "$ready" ;; *) wait_trace "$ready" ;; esac
        begun=$(now_ms)
        case "$cause" in
            key) xdotool key space ;;
            parent) wine taskkill /f /im parentwindow.exe >>"$E2E_DIR/wine.log" 2>&1 ;;
            *) xdotool mousemove_relative 30 20 ;;
        esac
    fi
    if [ "$cause" = stays ]; then
        sleep 2
        check "$what: still running 2 s later" yes "$(process_gone "$WINE_PID" && echo no || echo yes)"
        wine taskkill /f /im "$name.scr" >>"$E2E_DIR/wine.log" 2>&1
    fi
    wait_exit "$WINE_PID" 20
    if [ "$cause" != itself ] && [ "$cause" != stays ]; then
        took=$(($(now_ms) - begun))
        check "$what: gone within 2 s (took $took ms)" yes "$([ "$took" -lt 2000 ] && echo yes || echo no)"
    fi
    check "$what: exit code" "$code" "$EXIT_CODE"
    check "$what: the engine's last calls" "$ends" "$(trace_calls | tail -n2 | paste -sd,)"
    case "$line" in *test-frame-closes*)
        check "$what: the key's close and the frame's" 2 "$(trace_ops | grep -c '^WindowMessage [^ ]* 0x0010 ')" ;;
    esac
    if [ "$cause" = key ] && trace_matches '^WindowMessage [^ ]* 0x0002 '; then
        fail "$what: the engine saw WM_DESTROY: the window went before the engine"
    fi
    cmp -s "$E2E_DIR/settings.before" "$SAVER_INSTALL/screensaver.cfg" || fail "$what: the settings file changed"
    if [ "$platform" = win98 ]; then
        check "$what: the running state cleared" 0 "$(running)"
        wine reg delete "$win98_key" /f >/dev/null 2>&1
    fi
done
