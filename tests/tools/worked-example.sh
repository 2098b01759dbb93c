#!/bin/bash
# The README's worked example, run as it stands there: from an empty folder
# to a packed saver that plays its project until a key ends it. Then the
# README's check of a saver on it, and on it broken three ways (a typo, a
# plug-in missing, a project path naming no file), each refused with the
# engine's own words; and its troubleshooting commands on the typo: each run
# shows the start-failure box, and both name the engine's reason.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"

# readme_block MARKER: the commands of the fenced block after the marker line.
readme_block() {
    awk -v marker="<!-- $1 -->" '$0 == marker { found = 1; next }
        found && /^```/ { if (inside) exit; inside = 1; next }
        inside' "$ORMELIX_SOURCE/README.md"
}
example="$(readme_block "worked example")"
troubleshooting="$(readme_block "troubleshooting example")"
check_saver="$(readme_block "check example" | sed "s|~/ormelix/|$ORMELIX_SOURCE/|")"
[ -n "$check_saver" ] || fail "no check block in README.md"
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

# check_saver DESCRIPTION EXIT-CODE WORDS...: the README's check of the saver
# exits with EXIT-CODE and says each of WORDS.
check_saver() {
    local out code words
    set +e
    out="$(cd "$E2E_DIR/my-saver" && bash -e -c "$check_saver" 2>&1)"
    code=$?
    set -e
    echo "$out"
    check "check-saver, $1: exit code" "$2" "$code"
    for words in "${@:3}"; do
        grep -qF -- "$words" <<<"$out" || fail "check-saver, $1: no [$words]"
    done
}
install="$E2E_DIR/my-saver/install"
check_saver "the example" 0 "'My Saver' starts from install and runs"
mv "$install/channels/3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26.dll" "$E2E_DIR/"
check_saver "a plug-in missing" 1 "my.project: plugin 3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26 could not be loaded"
mv "$E2E_DIR/3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26.dll" "$install/channels/"
"$ORMELIX_NATIVE_BIN/makecfg" "$install/screensaver.cfg" my.projet 20 0 1 >/dev/null
check_saver "a project path naming no file" 1 "my.projet: cannot be read"
"$ORMELIX_NATIVE_BIN/makecfg" "$install/screensaver.cfg" my.project 20 0 1 >/dev/null
sed -i 's/^scene ripples/scene orbitt/' "$install/my.project"
check_saver "a typo" 1 'my.project: line 1: unknown scene "orbitt" (orbit or ripples)'
# Saved in UTF-8 with a byte-order mark: both warned of, and the engine's words.
cp "$install/my.project" "$E2E_DIR/my.project"
{ printf '\xef\xbb\xbf'; cat "$E2E_DIR/my.project"; echo "text Aurore Boréale"; } >"$install/my.project"
check_saver "UTF-8 with a byte-order mark" 1 "warning: my.project starts with a UTF-8 byte-order mark" \
    'line 8 shows as "text Aurore BorÃ©ale"' 'line 1: unknown keyword "ï»¿scene"'
mv "$E2E_DIR/my.project" "$install/my.project"
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
