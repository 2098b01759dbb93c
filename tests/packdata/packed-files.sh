#!/bin/bash
# Files packed by saverpack, read under Wine through the real executable path
# from the command line: the probe reads its own block; the built viewer holds
# no copy of the magic and, packed, ends '/x' with -1.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
saverpack="$ORMELIX_NATIVE_BIN/saverpack"
[ -x "$saverpack" ] || fail "no saverpack in ORMELIX_NATIVE_BIN ($ORMELIX_NATIVE_BIN)"
magic="7E51B2A9-0C4D-4F83-9A6E-2B8D5C1F70E3"

# read_block FILE ARGS...: runs a probe copy; output in OUT. A message box
# would keep it waiting, so an unexpected one ends the test at the timeout.
read_block() {
    local file=$1
    shift
    wine "$file" "$@" >"$E2E_DIR/out" 2>>"$E2E_DIR/wine.log" &
    E2E_PIDS+=($!)
    wait_exit $! 20
    OUT="$(tr -d '\r' <"$E2E_DIR/out")"
}

# read_block_with_box FILE ARGS...: as read_block for a run that shows one
# message box; boxwatch records it ("caption|text" in BOX) and presses OK.
read_block_with_box() {
    wine "$ORMELIX_BIN/boxwatch.exe" 20 1 >"$E2E_DIR/boxes" 2>>"$E2E_DIR/wine.log" &
    local watcher=$!
    E2E_PIDS+=("$watcher")
    read_block "$@"
    wait_exit "$watcher" 25
    BOX="$(tr -d '\r' <"$E2E_DIR/boxes" | cut -d'|' -f1,2 | paste -sd, || true)"
}

cp "$ORMELIX_BIN/readvalueprobe.scr" "$E2E_DIR/plain.scr"
"$saverpack" pack "$E2E_DIR/plain.scr" "$E2E_DIR/packed.scr" "Demo Project"

read_block "$E2E_DIR/packed.scr"
check "no switch: the path ends the command line" "found Demo Project" "$OUT"
read_block "$E2E_DIR/packed.scr" PROJECTNAME
check "entry name case is ignored" "found Demo Project" "$OUT"
read_block "$E2E_DIR/packed.scr" Missing
check "a missing entry" "not found" "$OUT"

cp "$E2E_DIR/packed.scr" "$E2E_DIR/UPPER.SCR"
read_block "$E2E_DIR/UPPER.SCR"
check "upper-case extension" "found Demo Project" "$OUT"

# A folder whose name begins with x.scr ends the path there: nothing to open.
mkdir -p "$E2E_DIR/x.scrap"
cp "$E2E_DIR/packed.scr" "$E2E_DIR/x.scrap/"
read_block_with_box "$E2E_DIR/x.scrap/packed.scr"
check "x.scr folder: not found" "not found" "$OUT"
check "x.scr folder: the cut path cannot be opened" "$(winpath "$E2E_DIR")\\x.scr|Error opening file" "$BOX"

# A broken trailer: the scan finds the block near the start of the file.
cp "$E2E_DIR/packed.scr" "$E2E_DIR/broken.scr"
printf '\xff\xff\xff\x7f' | dd of="$E2E_DIR/broken.scr" bs=1 seek=$(($(stat -c %s "$E2E_DIR/broken.scr") - 4)) conv=notrunc status=none
read_block "$E2E_DIR/broken.scr"
check "broken trailer: the scan finds the block" "found Demo Project" "$OUT"

read_block_with_box "$E2E_DIR/plain.scr"
check "unpacked: not found" "not found" "$OUT"
check "unpacked: the scan reports it" "Data header not found!" "${BOX#*|}"

# The built viewer holds the magic nowhere, in any letter case; packed, the
# one copy is the block's.
viewer="$ORMELIX_BIN/saverviewer.scr"
check "no magic in the viewer" 0 "$(grep -aio "$magic" "$viewer" | wc -l)"
"$saverpack" pack "$viewer" "$E2E_DIR/demo.scr" "Demo Project"
check "one magic in the packed viewer" 1 "$(grep -aio "$magic" "$E2E_DIR/demo.scr" | wc -l)"
check "saverpack lists the entry" "APPDATA PROJECTNAME 259 ok" \
    "$("$saverpack" list "$E2E_DIR/demo.scr" | awk -F'\t' 'NF == 5 {print $1, $2, $3, $5}')"
start_wine "$E2E_DIR/demo.scr" /x
wait_exit "$WINE_PID" 20
check "packed viewer with /x exits with -1" 255 "$EXIT_CODE"
