#!/bin/bash
# Binds the engine from a packed program, one fresh process per case: with
# the stand-in engine installed in a registered directory the calls reach it
# in their order and the settings round-trip through its chunk files; every
# failure shows its box (or none) and leaves no engine bound.
. "$(dirname "$0")/../support/e2e.sh"

viewers='HKLM\SOFTWARE\Velcor\Ormelix Viewers\3.00.000'
pack() { "$ORMELIX_NATIVE_BIN/saverpack" pack "$ORMELIX_BIN/bindprobe.exe" "$E2E_DIR/$1" "$2" >/dev/null; }
pack bound.scr "Binding Test"
pack unregistered.scr "Binding Unregistered"
cp "$ORMELIX_BIN/bindprobe.exe" "$E2E_DIR/unpacked.exe"

# install NAME ENGINE-FILE: an install directory holding ENGINE-FILE as
# drovik.dll (none when empty); its Windows path is in INSTALL.
install() {
    mkdir -p "$E2E_DIR/$1"
    [ -n "$2" ] && cp "$ORMELIX_BIN/$2" "$E2E_DIR/$1/drovik.dll"
    INSTALL="$(winpath "$E2E_DIR/$1")"
}
register() { reg_set "$viewers\\Binding Test" DisplayName "$1" "$2"; }

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
check "no registry key: the box with an empty directory" "box Engine init error||window|error" "$(boxes)"
check "no registry key: nothing bound" 0 "$(line bound)"
[ -f "$trace" ] && fail "no registry key: the engine was loaded"

register REG_EXPAND_SZ "$INSTALL"
probe bound.scr
check "an expandable string is refused" "box Engine init error||window|error" "$(boxes)"

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
echo "engine binding e2e: all cases passed"
