#!/bin/bash
# Binds the engine from a packed program, one fresh process per case: with
# the stand-in engine installed in a registered directory the calls reach it
# in their order and the settings round-trip through its chunk files; every
# failure shows its box (or none) and leaves no engine bound. Then what users
# and other programs can hand the binding: hostile "DisplayName" values,
# install directories at the buffers' limits, long project names, a block
# whose sizes wrap, and the packed viewer itself with a refused entry.
. "$(dirname "$0")/../support/e2e.sh"

viewers='HKLM\SOFTWARE\Velcor\Ormelix Viewers\3.00.000'
project="Binding Test"
# pack PROGRAM OUT NAME: a packed copy of PROGRAM naming the project NAME.
pack() { "$ORMELIX_NATIVE_BIN/saverpack" pack "$ORMELIX_BIN/$1" "$E2E_DIR/$2" "$3" >/dev/null; }
# hand_pack PROGRAM OUT NAME [wrap]: as pack, without saverpack, so the block
# can hold what it refuses: a name of any length, and with "wrap" an entry
# before the name whose size sums past 4 GiB with the name's.
hand_pack() {
    python3 - "$ORMELIX_BIN/$1" "$E2E_DIR/$2" "$3" "${4:-}" <<'EOF'
import struct, sys, zlib
program, out, name, wrap = sys.argv[1], sys.argv[2], sys.argv[3].encode(), sys.argv[4] == "wrap"
data = open(program, 'rb').read()
magic = b"7E51B2A9-0C4D-4F83" + b"-9A6E-2B8D5C1F70E3"
entries = [(b"APPDATA", b"FIRST", b"first", 0xFFFFFFFF)] if wrap else []
entries.append((b"APPDATA", b"PROJECTNAME", name.ljust(259, b"\0"), 259))
table = b"".join(struct.pack("<I", len(g) + 1) + g + b"\0" + struct.pack("<I", len(n) + 1) + n + b"\0" +
                 struct.pack("<II", size, zlib.crc32(d)) for g, n, d, size in entries)
head = magic + struct.pack("<i", len(entries)) + table
block = head + struct.pack("<I", len(head) + 4) + b"".join(d for _, _, d, _ in entries)
open(out, 'wb').write(data + block + struct.pack("<I", len(data)))
EOF
}
pack bindprobe.exe bound.scr "$project"
pack bindprobe.exe unregistered.scr "Binding Unregistered"
cp "$ORMELIX_BIN/bindprobe.exe" "$E2E_DIR/unpacked.exe"

# install NAME ENGINE-FILE: an install directory holding ENGINE-FILE as
# drovik.dll (none when empty); its Windows path is in INSTALL.
install() {
    mkdir -p "$E2E_DIR/$1"
    [ -n "$2" ] && cp "$ORMELIX_BIN/$2" "$E2E_DIR/$1/drovik.dll"
    INSTALL="$(winpath "$E2E_DIR/$1")"
}
register() { reg_set "$viewers\\$project" DisplayName "$1" "$2"; }

trace="$E2E_DIR/trace.txt"
export ORMELIX_ENGINE_TRACE="$(winpath "$E2E_DIR")\\trace.txt"
# probe PROGRAM ARGS...: runs it with a fresh trace; its report is in OUT.
probe() {
    rm -f "$trace"
    OUT="$(wine "$E2E_DIR/$1" "${@:2}" 2>>"$E2E_DIR/wine.log" | tr -d '\r')"
}
operations() { [ -f "$trace" ] && awk '{print $2}' "$trace" | tr -d '\r' | head -n "$1" | paste -sd' '; true; }
boxes() { grep '^box ' <<<"$OUT" || true; }
line() { grep "^$1 " <<<"$OUT" | cut -d' ' -f2-; }
engine_loaded() { [ -f "$trace" ] && echo yes || echo no; }
refused_box="box Engine init error||window|error"

# The stand-in engine: bind, save through its FileSaver, bind again and load.
install standin drovik.dll
register REG_SZ "$INSTALL"
probe bound.scr
check "first bind: no box" "" "$(boxes)"
check "first bind: engine bound" 1 "$(line bound)"
check "without a settings file the settings stay zero" "0 0 0 " "$(line settings)"
check "order of the binding calls" \
    "GetEngineControlInstance SetInstallDir SetRegistryKey Initialize GetCore CreateObject" \
    "$(operations 6)"
check "the engine is told the install directory" "$INSTALL" \
    "$(awk '$2 == "SetInstallDir" {print substr($0, index($0, $3))}' "$trace" | tr -d '\r')"
check "and the registry key" "SOFTWARE\\Velcor\\Ormelix Viewers\\3.00.000" \
    "$(awk '$2 == "SetRegistryKey" {print substr($0, index($0, $3))}' "$trace" | tr -d '\r')"
grep -q "CreateObject.*C4E82B19-6D53-4A0E-8F71-3B9D2A6C05E8" "$trace" || fail "no loader asked for"

probe bound.scr save 25 1 0
check "saving shows no box" "" "$(boxes)"
[ -f "$E2E_DIR/standin/screensaver.cfg" ] || fail "no screensaver.cfg written"
probe bound.scr
check "the saved settings load back" "25 1 0 " "$(line settings)"
check "the load reads the four chunks" "FindChunk FindChunk FindChunk FindChunk" \
    "$(awk '{print $2}' "$trace" | tr -d '\r' | grep FindChunk | paste -sd' ')"

# Failures of the lookup and of the library: the box, and nothing bound.
probe unregistered.scr
check "no registry key: the box with an empty directory" "$refused_box" "$(boxes)"
check "no registry key: nothing bound" 0 "$(line bound)"
[ -f "$trace" ] && fail "no registry key: the engine was loaded"

install empty ""
register REG_SZ "$INSTALL"
probe bound.scr
check "no library in the directory" "box Engine init error|$INSTALL|window|error" "$(boxes)"

install noentry fake_engine_no_entry.dll
register REG_SZ "$INSTALL"
probe bound.scr
check "a library without the entry point" "box Engine init error|$INSTALL|window|error" "$(boxes)"

install fake fake_engine.dll
register REG_SZ "$INSTALL"
ORMELIX_FAKE_ENGINE=null probe bound.scr
check "an entry point that returns no engine" "box Engine init error|$INSTALL|window|error" "$(boxes)"
check "no engine returned: nothing bound" 0 "$(line bound)"

# Initialize failing keeps the engine bound and loads nothing; a second bind
# goes straight to the settings step, which has no directory to read from.
ORMELIX_FAKE_ENGINE=initfail probe bound.scr twice
check "Initialize failing shows nothing" "" "$(boxes)"
check "Initialize failing leaves the engine bound" 1 "$(line bound)"
check "the second bind only asks for the core, and no loader" \
    "GetEngineControlInstance SetInstallDir SetRegistryKey Initialize GetCore Destroy" \
    "$(operations 100)"

# No appended block: the project-name box, with no owner, ends the binding.
probe unpacked.exe
last="$(boxes | tail -n1)"
[[ "$last" =~ ^box\ Error\ while\ retrieving\ the\ project\ name\|[0-9]+\|none\|none$ ]] ||
    fail "no project name: unexpected box [$last]"
check "no project name: nothing bound" 0 "$(line bound)"

# Hostile inputs, through a project of their own.
project="Hostile Binding"
pack bindprobe.exe hostile.scr "$project"
# install_at LENGTH: a directory whose Windows path has exactly LENGTH
# characters, holding the stand-in engine; its Windows path is in INSTALL.
install_at() {
    local base; base="$(winpath "$E2E_DIR")"
    local pad=$(($1 - ${#base} - 1))
    local name; name="$(printf 'd%.0s' $(seq "$pad"))"
    mkdir -p "$E2E_DIR/$name"
    cp "$ORMELIX_BIN/drovik.dll" "$E2E_DIR/$name/"
    INSTALL="$base\\$name"
    INSTALL_UNIX="$E2E_DIR/$name"
    [ ${#INSTALL} -eq "$1" ] || fail "install directory of ${#INSTALL} characters, not $1"
}

# 1. "DisplayName" of the wrong type or far too long: refused, the box with
# no directory, no engine loaded.
install_at 120
long1300="$INSTALL\\$(printf 'x%.0s' $(seq $((1299 - ${#INSTALL} - 1))))"  # 1,300 bytes with the terminator
for entry in "REG_EXPAND_SZ|$INSTALL" "REG_MULTI_SZ|$INSTALL" "REG_BINARY|5a3a5c00" \
             "REG_DWORD|1" "REG_NONE|$INSTALL" "REG_SZ|" "REG_SZ|$long1300"; do
    type="${entry%%|*}"
    register "$type" "${entry#*|}"
    probe hostile.scr
    value="${entry#*|}"
    what="$type of ${#value} characters"
    check "$what: the box without a directory" "$refused_box" "$(boxes)"
    check "$what: nothing bound" 0 "$(line bound)"
    check "$what: no engine loaded" no "$(engine_loaded)"
done

# 2. Install directories at the settings file's and the library's limits.
install_at 243
register REG_SZ "$INSTALL"
probe hostile.scr save 25 1 0
check "243 characters: bound, no box" "1|" "$(line bound)|$(boxes)"
probe hostile.scr
check "243 characters: the saved settings load back" "25 1 0 " "$(line settings)"
install_at 244
register REG_SZ "$INSTALL"
probe hostile.scr save 25 1 0
check "244 characters: bound, no box" "1|" "$(line bound)|$(boxes)"
check "244 characters: no file written in the directory" "drovik.dll" "$(ls "$INSTALL_UNIX" | paste -sd' ')"
probe hostile.scr
check "244 characters: nothing loads back" "0 0 0 " "$(line settings)"
install_at 248
register REG_SZ "$INSTALL"
probe hostile.scr
check "248 characters: the library path just fits" "1|" "$(line bound)|$(boxes)"
install_at 249
register REG_SZ "$INSTALL"
probe hostile.scr
check "249 characters: the box with the directory" "box Engine init error|$INSTALL|window|error" "$(boxes)"
check "249 characters: no engine loaded" no "$(engine_loaded)"
install_at 259
register REG_SZ "$INSTALL"
probe hostile.scr
check "259 characters: the box, no engine" "$refused_box|no" "$(boxes)|$(engine_loaded)"

# 3. Project names of 219 and 220 characters: Wine's ANSI registry calls
# open key paths of 260 characters at most, so 219 is the longest name found
# (the engine bound, no box) and 220 shows the box, no crash, nothing loaded.
# saverpack refuses 220, so that block is made by hand.
install standin drovik.dll
for row in "219;pack;;yes" "220;hand_pack;$refused_box;no"; do
    IFS=";" read -r length packer box loaded <<<"$row"
    name="$(printf 'p%.0s' $(seq "$length"))"
    $packer bindprobe.exe "name$length.scr" "$name"
    wine reg add "$viewers\\$name" /v DisplayName /t REG_SZ /d "$INSTALL" /f /reg:32 >/dev/null 2>&1 || true
    on_exit "wine reg delete '$viewers\\$name' /f /reg:32 >/dev/null 2>&1"
    probe "name$length.scr"
    check "a project name of $length characters: the box" "$box" "$(boxes)"
    check "a project name of $length characters: engine loaded" "$loaded" "$(engine_loaded)"
done

# 4. A block whose entry sizes sum past 4 GiB, wrapping back onto another
# entry's bytes: the project name is not found.
hand_pack bindprobe.exe wrapped.scr "$project" wrap
install_at 100
register REG_SZ "$INSTALL"
probe wrapped.scr
last="$(boxes | tail -n1)"
[[ "$last" =~ ^box\ Error\ while\ retrieving\ the\ project\ name\|[0-9]+\|none\|none$ ]] ||
    fail "sizes that wrap: unexpected box [$last]"
echo "ok: sizes that wrap: the project-name box"
check "sizes that wrap: no engine loaded" no "$(engine_loaded)"

# 5. The packed viewer with a refused entry: the box, then its black window,
# which the first key press closes (it may also close as soon as the box
# takes its activation away).
pack saverviewer.scr Hostile.scr "$project"
register REG_EXPAND_SZ "$INSTALL"
watch_boxes 2
rm -f "$trace"
start_wine "$E2E_DIR/Hostile.scr" /s
wait_boxes
check "the viewer shows the box" "Engine init error|" "$(tr -d '\r' <"$BOXES" | head -n1 | cut -d'|' -f1-2)"
ended_after_key() { process_gone "$WINE_PID" || { xdotool key space; false; }; }
wait_for "the viewer never ended" ended_after_key
wait_exit "$WINE_PID" 5
check "the viewer ends cleanly" 0 "$EXIT_CODE"
check "the viewer loaded no engine" no "$(engine_loaded)"
echo "engine binding e2e: all cases passed"
