#!/bin/bash
# The README's worked example, run as it stands there: from an empty folder
# to a packed saver that plays its project until a key ends it. Then its
# troubleshooting commands on the same project broken: each run shows the
# start-failure box, and both name the engine's reason.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"

# readme_block MARKER: the commands of the fenced block after the marker line.
readme_block() {
    awk -v marker="<!-- $1 -->" '$0 == marker { found = 1; next }
        found && /^```/ { if (inside) exit; inside = 1; next }
        inside' "$ORMELIX_SOURCE/README.md"
}
example="$(readme_block "worked example")"
troubleshooting="$(readme_block "troubleshooting example")"
[ -n "$troubleshooting" ] || fail "no troubleshooting block in README.md"
# The first two lines name where the author's checkout is; here it is the build.
grep -q '^bin=' <<<"$example" && grep -q '^tools=' <<<"$example" ||
    fail "the worked example no longer starts with bin= and tools="
example="$(sed -e "s|^bin=.*|bin='$ORMELIX_BIN'|" -e "s|^tools=.*|tools='$ORMELIX_NATIVE_BIN'|" <<<"$example")"

# run_block TEXT LOG: runs the commands in E2E_DIR, as an author would type
# them, stopping at the first that fails; its pid is in WINE_PID.
run_block() {
    (cd "$E2E_DIR" && exec bash -e -c "$1") >"$2" 2>&1 &
    WINE_PID=$!
    E2E_PIDS+=("$WINE_PID")
}
# end_saver: a key once the saver is up, then waits until its window is gone.
end_saver() {
    wait_window "Screen Saver" 30
    sleep 0.5
    xdotool key space
    WAIT_SECONDS=20 wait_for "the saver did not close on a key" window_gone
}
window_gone() { ! window_shown "Screen Saver"; }

run_block "$example" "$E2E_DIR/example.log"
trace="$E2E_DIR/my-saver/trace.txt"
wait_for "no frame in the example's trace" grep -qs ' Frame' "$trace"
end_saver
wait_exit "$WINE_PID" 20
cat "$E2E_DIR/example.log"
check "the example's commands all succeed" 0 "$EXIT_CODE"
check "saverpack list names the project" 1 "$(grep -c '^project name: My Saver' "$E2E_DIR/example.log")"
check "the last line counts the frames" yes \
    "$(tail -n1 "$E2E_DIR/example.log" | awk '{ print ($1 ~ /^[0-9]+$/ && $1 > 0) ? "yes" : "no" }')"

sed -i 's/^scene ripples/scene orbitt/' "$E2E_DIR/my-saver/install/my.project"
example_dir="$E2E_DIR"
E2E_DIR="$example_dir/my-saver" run_block "$troubleshooting" "$example_dir/troubleshooting.log"
# boxwatch finds a box already up, so each run gets one of its own.
for run in 1 2; do
    watch_boxes 1
    wait_boxes
    cat "$BOXES" >>"$example_dir/all-boxes.txt"
    end_saver
done
wait_exit "$WINE_PID" 20
cat "$example_dir/troubleshooting.log"
check "the troubleshooting commands all succeed" 0 "$EXIT_CODE"
check "both name the engine's reason" 2 \
    "$(grep -c 'line 1: unknown scene \\\?"orbitt\\\?" (orbit or ripples)' "$example_dir/troubleshooting.log")"
check "each run showed the start-failure box" 2 \
    "$(grep -c '^Ormelix Screen Saver Viewer|There was an error starting' "$example_dir/all-boxes.txt")"
