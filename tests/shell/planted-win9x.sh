#!/bin/bash
# The packed viewer on a Win9x system (Wine reporting Windows 98) loads its
# system libraries only from its own directory or the system directory:
# a "PASSWORD.CPL" planted in the current directory is never loaded, while
# one beside the saver is; "MPR.DLL" for /a comes from beside the saver.
# The planted libraries record their own loading.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/host/trace.sh"
. "$ORMELIX_SOURCE/tests/support/planted.sh"

name="Loading Win9x"
on_exit "saver_uninstall '$name'"

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

# 1. PASSWORD.CPL in the current directory only: not loaded.
cp "$planted" "$cwd/PASSWORD.CPL"
run_saver "verifier in the current directory"
check "verifier in the current directory: not loaded" "" "$(planted_loads)"

# 2. Beside the saver as well: that one, and only that one, is loaded.
cp "$planted" "$E2E_DIR/PASSWORD.CPL"
run_saver "verifier beside the saver"
check "verifier beside the saver: loaded from there" "$beside\\PASSWORD.CPL" "$(planted_loads)"
rm "$E2E_DIR/PASSWORD.CPL"

# 3. /a: the password changer beside the saver, not the one in the current
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
