#!/bin/bash
# Where the packed viewer loads its libraries from, end to end under Wine.
# Libraries that record their own loading are planted in the current
# directory, beside the saver and at the root of the current drive. For the
# engine and its plug-in the saver starts in Y:\cwd, a drive of this test's
# own: only the registered engine is ever loaded; with no registration, or a
# registered directory that is not a full path, nothing is. On a Win9x system
# (Wine reporting Windows 98) its system libraries come only from its own
# directory or the system directory: a "PASSWORD.CPL" planted in the current
# directory is never loaded, while one beside the saver is; "MPR.DLL" for /a
# comes from beside the saver.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/enginehost/trace.sh"
. "$ORMELIX_SOURCE/tests/support/planted.sh"

name="Loading Test"
on_exit "saver_uninstall '$name'"

# Drive Y: is $root; the saver's current directory is Y:\cwd.
root="$E2E_DIR/root"
mkdir -p "$root/cwd" "$root/eng"
ln -s "$root" "$WINEPREFIX/dosdevices/y:"
on_exit "rm -f '$WINEPREFIX/dosdevices/y:'"
for dir in "$root" "$root/eng" "$root/cwd"; do cp "$planted" "$dir/drovik.dll"; done
cp "$planted" "$root/cwd/$saver_plugin"

saver_install "$E2E_DIR" "$name" "$ORMELIX_SOURCE/demo/demo.project" 20 0 0
cp "$planted" "$(dirname "$SAVER_SCR")/drovik.dll"
registered="$(winpath "$SAVER_INSTALL")"

# start_saver: the saver, full screen, started in Y:\cwd with a fresh record
# of planted loads.
start_saver() {
    planted_forget
    cd "$root/cwd"
    start_traced "$SAVER_SCR" /s
    cd "$E2E_DIR"
}
first_box() { tr -d '\r' <"$BOXES" | head -n1 | cut -d'|' -f1-2; }
# close_saver WHAT: a key closes the black window the failed start leaves.
close_saver() {
    wait_window "Screen Saver" 20
    xdotool key space
    wait_exit "$WINE_PID" 20
    check "$1: exit code" 0 "$EXIT_CODE"
}

# 1. Registered: the engine from the install directory, the plug-in from its
# channels directory; none of the planted libraries.
start_saver
wait_window "Screen Saver" 20
wait_frames 2
check "registered: the engine is the registered one" "SetInstallDir $registered" \
    "$(trace_ops | grep -m1 '^SetInstallDir')"
check "registered: the plug-in from the channels directory" \
    "LoadPluginChannel ${saver_plugin%.dll} \"Win32 GetDriveLetter\"" \
    "$(trace_ops | grep -m1 "^LoadPluginChannel")"
check "registered: no planted library loaded" "" "$(planted_loads)"
xdotool key space
wait_exit "$WINE_PID" 20
check "registered: exit code" 0 "$EXIT_CODE"

# 2. A full path to a planted directory is what the registry names: that
# library is loaded (so the record above would have shown a planted load).
reg_set "$saver_registry_base\\$name" DisplayName REG_SZ 'Y:\eng'
watch_boxes 2
start_saver
wait_boxes
check "registered planted engine: its box" "Engine init error|Y:\\eng" "$(first_box)"
close_saver "registered planted engine"
check "registered planted engine: loaded from there only" 'Y:\eng\drovik.dll' "$(planted_loads)"

# 3. No registration, or a directory that is not a full path: the box with
# no directory, as for a missing entry, and no library from the current
# directory, beside the saver (where ".\drovik.dll" is looked for first) or
# from the drive's root.
rows=(
    "unregistered|"
    "empty directory, the drive root|"
    "current directory|."
    "relative to the drive root|\\eng"
    "the current drive's root, drive-relative|Y:"
)
for row in "${rows[@]}"; do
    IFS='|' read -r what value <<<"$row"
    if [ "$what" = unregistered ]; then
        saver_uninstall "$name"
    else
        wine reg add "$saver_registry_base\\$name" /v DisplayName /t REG_SZ /d "$value" /f /reg:32 >/dev/null 2>&1
    fi
    watch_boxes 2
    start_saver
    wait_boxes
    check "$what: the box" "Engine init error|" "$(first_box)"
    close_saver "$what"
    check "$what: no planted library loaded" "" "$(planted_loads)"
done

# The Win9x system libraries, the saver started in a directory of its own.
saver_install "$E2E_DIR" "$name" "$ORMELIX_SOURCE/demo/demo.project" 20 0 0
reg_set "HKCU\\Software\\Wine\\AppDefaults\\$name.scr" Version REG_SZ win98
reg_set 'HKCU\Control Panel\Desktop' ScreenSaveUsePassword REG_DWORD 1
cwd="$E2E_DIR/cwd"
mkdir -p "$cwd"
beside="$(winpath "$E2E_DIR")"

# in_cwd COMMAND...: runs COMMAND in the saver's current directory with a
# fresh record of planted loads.
in_cwd() {
    planted_forget
    cd "$cwd"
    "$@"
    cd "$E2E_DIR"
}

# run_saver WHAT: full screen until a key ends it (the planted verifier
# accepts, and without a verifier nothing is asked).
run_saver() {
    in_cwd start_traced "$SAVER_SCR" /s
    wait_window "Screen Saver" 20
    wait_frames 2
    xdotool key space
    wait_exit "$WINE_PID" 20
    check "$1: exit code" 0 "$EXIT_CODE"
}

# 4. PASSWORD.CPL in the current directory only: not loaded.
cp "$planted" "$cwd/PASSWORD.CPL"
run_saver "verifier in the current directory"
check "verifier in the current directory: not loaded" "" "$(planted_loads)"

# 5. Beside the saver as well: that one, and only that one, is loaded.
cp "$planted" "$E2E_DIR/PASSWORD.CPL"
run_saver "verifier beside the saver"
check "verifier beside the saver: loaded from there" "$beside\\PASSWORD.CPL" "$(planted_loads)"
rm "$E2E_DIR/PASSWORD.CPL"

# 6. /a: the password changer beside the saver, not the one in the current
# directory. Wine's own MPR.DLL gives way only to a native override, and
# Wine searches its system directory before the current directory anyway,
# so the in-process test shows the current directory refused for a name the
# system lacks.
cp "$planted" "$cwd/MPR.DLL"
cp "$planted" "$E2E_DIR/MPR.DLL"
set +e
WINEDLLOVERRIDES=mpr=n in_cwd wine "$SAVER_SCR" /a >>"$E2E_DIR/wine.log" 2>&1
code=$?
set -e
check "password change: exit code" 0 "$code"
check "password change: the changer beside the saver" "$beside\\MPR.DLL" "$(planted_loads)"
