#!/bin/bash
# The Win9x password check under Wine reporting Windows 98, with a stand-in
# "PASSWORD.CPL" beside the saver: the verifier is asked on close, a refusal
# keeps the saver, acceptance ends it; the AutoPlay query's answer depends on
# the verifier; on an NT-family system none of this happens.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
cp "$ORMELIX_BIN/saverwindow_test.scr" "$ORMELIX_BIN/password/PASSWORD.CPL" "$E2E_DIR/"
saver="$E2E_DIR/saverwindow_test.scr"
probe() { wine "$ORMELIX_BIN/saverprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }
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
check "second start exit code" 0 "$second"
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
