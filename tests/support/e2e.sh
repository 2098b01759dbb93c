# Sourced by the end-to-end test scripts. Each script runs inside
# tests/support/winenv (WINEPREFIX, DISPLAY and ORMELIX_SCRATCH are set) and
# gets a scratch directory of its own, removed when it ends, together with
# every Wine process it started.
set -euo pipefail

: "${ORMELIX_BIN:?run through ctest}" "${ORMELIX_SCRATCH:?run through tests/support/winenv}"
E2E_DIR="$(mktemp -d "$ORMELIX_SCRATCH/e2e.XXXXXX")"
E2E_PIDS=()
E2E_CLEANUP=()

e2e_cleanup() {
    local step pid
    for step in "${E2E_CLEANUP[@]}"; do eval "$step" || true; done
    for pid in "${E2E_PIDS[@]}"; do kill "$pid" 2>/dev/null || true; done
    rm -rf "$E2E_DIR"
}
trap e2e_cleanup EXIT

# on_exit COMMAND: run COMMAND (a string) when the script ends.
on_exit() { E2E_CLEANUP+=("$1"); }

# winpath /unix/path: the same file as Wine sees it through drive Z:.
winpath() { local p; p="$(readlink -f "$1")"; echo "Z:${p//\//\\}"; }

# fail MESSAGE: end the test with a message.
fail() { echo "FAIL: $*" >&2; exit 1; }

# check DESCRIPTION EXPECTED ACTUAL
check() {
    if [ "$2" != "$3" ]; then fail "$1: expected [$2], got [$3]"; fi
    echo "ok: $1"
}

# run_line LINE: runs a command line the way Windows runs one (verbatim, from
# a batch file, whose cmd waits for it); its exit code is in EXIT_CODE. cmd
# reads the file in the OEM code page, 437 in winenv's locale.
run_line() {
    printf '@%s\r\n@exit /b %%errorlevel%%\r\n' "$1" | iconv -f UTF-8 -t CP437 >"$E2E_DIR/run.bat"
    set +e; wine cmd /c "$(winpath "$E2E_DIR/run.bat")" >>"$E2E_DIR/wine.log" 2>&1; EXIT_CODE=$?; set -e
}

# has_key KEY [VIEW]: the registry key exists, in the 32-bit view unless
# VIEW is 64.
has_key() { wine reg query "$1" "/reg:${2:-32}" >/dev/null 2>&1; }

# start_wine PROGRAM ARGS...: starts a Wine program in the background;
# its pid is in WINE_PID and it is killed when the script ends.
start_wine() {
    wine "$@" >>"$E2E_DIR/wine.log" 2>&1 &
    WINE_PID=$!
    E2E_PIDS+=("$WINE_PID")
}

# wait_for DESCRIPTION COMMAND...: waits until COMMAND succeeds, for at most
# WAIT_SECONDS (20 unless set for the call); fails with DESCRIPTION otherwise,
# so a test never hangs.
wait_for() {
    local what=$1 deadline=$((SECONDS + ${WAIT_SECONDS:-20}))
    shift
    until "$@"; do
        [ $SECONDS -ge $deadline ] && fail "$what after ${WAIT_SECONDS:-20} s"
        sleep 0.05
    done
}

# wait_exit PID SECONDS: waits for a background process; its exit code is in
# EXIT_CODE (as bash sees it: -1 arrives as 255). Fails on timeout.
wait_exit() {
    WAIT_SECONDS=$2 wait_for "process $1 still running" process_gone "$1"
    set +e; wait "$1"; EXIT_CODE=$?; set -e
}
process_gone() { ! kill -0 "$1" 2>/dev/null; }

# wait_window TITLE SECONDS: waits for a mapped X window of that exact title;
# its X id is in WINDOW_ID. Fails on timeout.
wait_window() {
    WAIT_SECONDS=$2 wait_for "no window titled '$1'" window_shown "$1"
}
window_shown() {
    WINDOW_ID="$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -n1 || true)"
    [ -n "$WINDOW_ID" ]
}

# watch_boxes COUNT: boxwatch in the background, waiting for up to COUNT
# message boxes of any process; its lines ("caption|text|...") go to BOXES.
watch_boxes() {
    BOXES="$E2E_DIR/boxes.txt"
    wine "$ORMELIX_BIN/boxwatch.exe" 20 "$1" >"$BOXES" 2>/dev/null &
    BOXWATCH_PID=$!
    E2E_PIDS+=("$BOXWATCH_PID")
}
# wait_boxes: waits until boxwatch has ended (not from a subshell: it is our child).
wait_boxes() { wait "$BOXWATCH_PID" 2>/dev/null || true; }

# lock_path PATH: makes the file or directory PATH unwritable for Wine's
# programs until unlock_path PATH or the end of the script; false where that
# cannot be done. As root, Unix permissions stop nobody; the immutable
# attribute does, where the file system has it.
lock_path() {
    if [ "$(id -u)" = 0 ]; then chattr +i "$1" 2>/dev/null; else chmod a-w "$1"; fi || return 1
    on_exit "unlock_path '$1'"
    local probe=$1
    [ -d "$1" ] && probe="$1/.lock-probe"
    if (: >>"$probe") 2>/dev/null; then
        [ "$probe" = "$1" ] || rm -f "$probe"
        unlock_path "$1"
        return 1
    fi
}
unlock_path() {
    if [ "$(id -u)" = 0 ]; then chattr -i "$1" 2>/dev/null; else chmod u+w "$1"; fi || true
}

# reg_set KEY VALUE TYPE DATA: sets a registry value in the scratch prefix and
# deletes it again when the script ends.
reg_set() {
    wine reg add "$1" /v "$2" /t "$3" /d "$4" /f /reg:32 >/dev/null 2>&1
    on_exit "wine reg delete '$1' /v '$2' /f /reg:32 >/dev/null 2>&1"
}
