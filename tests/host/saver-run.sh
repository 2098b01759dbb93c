#!/bin/bash
# The packed viewer with the stand-in engine, end to end under Wine: the order
# of engine calls from GetEngineControlInstance to Destroy(1), the two saver
# channels, frame pacing, closing on a real key press, the do-not-quit setting
# and a project without the saver channels.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/host/trace.sh"

name="Run Test"
on_exit "saver_uninstall '$name'"

# 1. Full screen at a 50 ms delay: start, frames, a key closes.
saver_install "$E2E_DIR" "$name" "$ORMELIX_SOURCE/demo/demo.project" 50 0 0
start_traced "$SAVER_SCR" /s
wait_window "Screen Saver" 20
wait_frames 6
check "order of use up to the first frame" \
    "GetEngineControlInstance SetInstallDir SetRegistryKey Initialize GetCore CreateObject Open FindChunk ReadChunk FindChunk ReadChunk FindChunk ReadChunk FindChunk ReadChunk Destroy LoadProject GetCore FindChannel SetValue FindChannel SetValue Run Frame" \
    "$(trace_calls | awk '{print $1} /^Frame/{exit}' | paste -sd' ')"
check "saver channel set to 1.0" "SetValue OrmelixSaver 1.0" "$(trace_ops | grep -m1 '^SetValue OrmelixSaver ')"
check "full screen: preview channel 0.0" "SetValue OrmelixSaverPreview 0.0" \
    "$(trace_ops | grep -m1 '^SetValue OrmelixSaverPreview')"
# Frames start every 50 ms: a frame may be late under load, never early, so
# the mean gap cannot fall short of the delay by more than the clocks' jitter.
check "frames follow the 50 ms delay" "yes" \
    "$(frame_gaps | awk '{ sum += $1; n++ } END { print (n >= 5 && sum / n >= 47) ? "yes" : "no: " n " gaps, mean " sum / n }')"
xdotool key space
wait_exit "$WINE_PID" 20
check "key press: exit code" 0 "$EXIT_CODE"
check "the trace ends with the last frame, then Destroy 1" "Frame|Destroy 1" \
    "$(trace_calls | tail -n2 | paste -sd'|')"
check "nothing after Destroy" "Destroy 1" "$(trace_ops | tail -n1)"

# 2. Do-not-quit: keys, moves and clicks reach the engine and never close.
saver_install "$E2E_DIR" "$name" "$ORMELIX_SOURCE/demo/demo.project" 20 1 0
start_traced "$SAVER_SCR" /s
wait_window "Screen Saver" 20
wait_frames 3
xdotool key space
xdotool mousemove_relative 40 30
xdotool click 1
wait_trace '^WindowMessage [^ ]* 0x0201'
sleep 0.3
kill -0 "$WINE_PID" 2>/dev/null || fail "user input closed a do-not-quit saver"
for message in 0x0100 0x0200 0x0201; do
    check "engine saw $message" 1 "$(trace_ops | grep -c -m1 "^WindowMessage [^ ]* $message")"
done
check "still running: engine not destroyed" 0 "$(destroys_after_run)"
wine "$ORMELIX_BIN/saverprobe.exe" post "Screen Saver" 0x0010 0 0 >/dev/null 2>&1
wait_exit "$WINE_PID" 20
check "closed by WM_CLOSE: exit code" 0 "$EXIT_CODE"
check "do-not-quit run ends with Destroy 1" "Destroy 1" "$(trace_ops | tail -n1)"

# 3. A project without the two saver channels runs all the same.
grep -v -e '^channel ' -e '{Ormelix' "$ORMELIX_SOURCE/demo/demo.project" >"$E2E_DIR/plain.project"
saver_install "$E2E_DIR" "$name" "$E2E_DIR/plain.project" 20 0 0
start_traced "$SAVER_SCR" /s
wait_window "Screen Saver" 20
wait_frames 3
check "no channel set" 0 "$(trace_ops | grep -c '^SetValue' || true)"
check "channels looked up, then Run" "FindChannel FindChannel Run" \
    "$(trace_calls | awk '/^(FindChannel|Run)/{print $1}' | paste -sd' ')"
xdotool key space
wait_exit "$WINE_PID" 20
check "no channels: exit code" 0 "$EXIT_CODE"
