#!/bin/bash
# The setup program of scripts/package end to end, in the prefix winenv gave:
# 32-bit, or 64-bit, where the 32-bit setup and saver run under WoW64. Silent
# install, activation and the saver started as Windows starts it, upgrade in
# place (also in a folder of one's own), upgrades that keep the user's settings
# and leave nothing of the version before, uninstall giving back the previous
# saver, a saver chosen since left alone, a saver deleted by hand, a name on
# Windows of other ANSI code pages, a folder too long for the install
# directory's paths, a Windows directory that cannot be written, and what the
# setup program asks icacls to do. The setup program carries the author's
# version, publisher and icon.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/enginehost/trace.sh"

# A name beyond ASCII, packed in code page 1252, the prefix's ANSI code page.
name="Shïp Tést"
. "$ORMELIX_SOURCE/tests/installer/installed-saver.sh"
uninstall_keys="$uninstall_root\\Ormelix Saver"
uninstall_key="$uninstall_keys $name"
previous='C:\windows\system32\previous.scr'


saver_lay_out_copy "$E2E_DIR" "$ORMELIX_SOURCE/demo"
version=4.5.6 publisher='Aurore "Studio" & $ons'
convert -size 32x32 xc:navy "$E2E_DIR/author.ico"
"$ORMELIX_SOURCE/scripts/package" --version "$version" --publisher "$publisher" --icon "$E2E_DIR/author.ico" \
    --no-trial "$name" "$E2E_DIR/setup.exe" "$SAVER_INSTALL" >/dev/null 2>&1
saver_pack "$E2E_DIR/expected.scr" "$name" >/dev/null
# The author's version and publisher in the setup program's version resource.
for row in "ProductVersion|$version" "CompanyName|$publisher"; do
    check "the setup program's ${row%%|*}" "${row#*|}" \
        "$(strings -el "$E2E_DIR/setup.exe" | grep -m1 -A1 -x "${row%%|*}" | sed -n 2p)"
done

set_desktop() {
    if [ -n "$2" ]; then wine reg add "$desktop" /v "$1" /d "$2" /f >/dev/null 2>&1
    else wine reg delete "$desktop" /v "$1" /f >/dev/null 2>&1 || true; fi
}
initial_saver="$(saver_reg_value "$desktop" SCRNSAVE.EXE)" initial_active="$(saver_reg_value "$desktop" ScreenSaveActive)"
on_exit "set_desktop SCRNSAVE.EXE '$initial_saver'; set_desktop ScreenSaveActive '$initial_active'"

setup() { run_line "$(winpath "$E2E_DIR/setup.exe") $*"; }
# uninstall_in_place [NAME [DIR]]: the uninstaller of NAME ($name unless
# given) in DIR (where it goes by default unless given) run in place (_?=),
# so it is done when it returns; it cannot delete itself then, which is left
# to us.
uninstall_in_place() {
    local dir_win=${2:-"C:\\$program_files\\Ormelix Savers\\${1:-$name}"} dir
    run_line "\"$dir_win\\uninstall.exe\" /S _?=$dir_win"
    check "uninstaller exit code" 0 "$EXIT_CODE"
    dir="$(wine winepath -u "$dir_win" 2>/dev/null | tr -d '\r')"
    rm -f "$dir/uninstall.exe"
    rmdir "$dir" "$(dirname "$dir")" 2>/dev/null || true
}

# state [NAME]: what is installed of the saver NAME ($name unless given), in
# one line.
state() {
    local of=${1:-$name} scr=no files=no key=no entry=no
    [ -e "$drive_c/windows/$of.scr" ] && scr=yes
    [ -n "$(find "$savers_dir" -mindepth 1 2>/dev/null)" ] && files=yes
    has_key "$saver_registry_base\\$of" && key=yes
    has_key "$uninstall_keys $of" && entry=yes
    echo "scr=$scr files=$files key=$key entry=$entry saver=[$(saver_reg_value "$desktop" SCRNSAVE.EXE)] active=[$(saver_reg_value "$desktop" ScreenSaveActive)]"
}
installed() { echo "scr=yes files=yes key=yes entry=yes saver=[$1] active=[$2]"; }
removed() { echo "scr=no files=no key=no entry=no saver=[$1] active=[$2]"; }

# 1. A silent install: the packed viewer under the project's name, the install
#    directory as shipped, the registry entry in the 32-bit view, the entry
#    under Add or Remove Programs; the current saver untouched.
set_desktop SCRNSAVE.EXE "$previous"
set_desktop ScreenSaveActive 0
setup /S
check "install: exit code" 0 "$EXIT_CODE"
check "install: state" "$(installed "$previous" 0)" "$(state)"
cmp -s "$E2E_DIR/expected.scr" "$saver_file" || fail "the installed saver is not the viewer packed for '$name'"
ours_kept="-x uninstall.exe -x installed-files.txt -x screensaver.cfg.shipped"
diff -r $ours_kept "$SAVER_INSTALL" "$install_dir" || fail "the install directory differs from the shipped one"
check "install: Users may modify the settings file, and nothing else" \
    "\"$install_dir_win\\screensaver.cfg\" /grant *S-1-5-32-545:(M)" \
    "$(recorded_icacls)"
check "registry entry, 32-bit view" "$install_dir_win" "$(saver_reg_value "$viewer_key" DisplayName)"
if [ "$program_files" != "Program Files" ]; then
    check "no registry entry in the 64-bit view" no "$(has_key "$viewer_key" 64 && echo yes || echo no)"
fi
for row in "DisplayName|$name (screen saver)" "DisplayVersion|$version" "Publisher|$publisher" \
           "DisplayIcon|$install_dir_win\uninstall.exe" \
           "UninstallString|\"$install_dir_win\\uninstall.exe\"" \
           "QuietUninstallString|\"$install_dir_win\\uninstall.exe\" /S"; do
    check "uninstall entry ${row%%|*}" "${row#*|}" "$(saver_reg_value "$uninstall_key" "${row%%|*}")"
done
[ "$(($(saver_reg_value "$uninstall_key" EstimatedSize)))" -gt 0 ] || fail "uninstall entry: no EstimatedSize"

# 2. Over it, with /ACTIVATE: an upgrade in place that makes it the current
#    saver; started from SCRNSAVE.EXE with /s it runs the project until a key.
setup /S /ACTIVATE
check "upgrade with /ACTIVATE: exit code" 0 "$EXIT_CODE"
ours="$(saver_reg_value "$desktop" SCRNSAVE.EXE)"
check "upgrade with /ACTIVATE: state" "$(installed "$ours" 1)" "$(state)"
check "SCRNSAVE.EXE names the installed saver" "$(readlink -f "$saver_file")" \
    "$(readlink -f "$(wine winepath -u "$ours" 2>/dev/null | tr -d '\r')")"
start_traced "$ours" /s
wait_window "Screen Saver" 20
wait_frames 1
xdotool key space
wait_exit "$WINE_PID" 20
check "the activated saver: exit code after a key" 0 "$EXIT_CODE"

# 3. Installed a third time with /ACTIVATE, then removed the way Add or Remove
#    Programs does it (QuietUninstallString, which returns at once): every
#    file and value gone, the saver from before the first activation back.
setup /S /ACTIVATE
check "third install: exit code" 0 "$EXIT_CODE"
run_line "$(saver_reg_value "$uninstall_key" QuietUninstallString)"
uninstalled() { [ ! -e "$savers_dir" ] && ! has_key "$uninstall_key"; }
wait_for "the uninstaller did not finish" uninstalled
check "uninstall: state" "$(removed "$previous" 0)" "$(state)"

# 4. A saver chosen after the install stays the current one.
setup /S /ACTIVATE
set_desktop SCRNSAVE.EXE 'C:\windows\system32\chosen-since.scr'
uninstall_in_place
check "uninstall after another saver was chosen" "$(removed 'C:\windows\system32\chosen-since.scr' 1)" "$(state)"

# 5. Chosen by its long path without an activation here: the uninstaller
#    unsets it, which would name a removed file, and leaves the rest alone.
setup /S
set_desktop SCRNSAVE.EXE "C:\\windows\\$name.scr"
uninstall_in_place
check "uninstall of the saver chosen since by its long path" "$(removed "" 1)" "$(state)"

# 5b. Chosen by its long path, then installed again with /ACTIVATE: already
#     this saver, so it is never kept as its own predecessor, and the
#     uninstaller gives back no path to the file it removes.
set_desktop SCRNSAVE.EXE "$previous"
setup /S
set_desktop SCRNSAVE.EXE "C:\\windows\\$name.scr"
setup /S /ACTIVATE
uninstall_in_place
check "uninstall after an activation over the saver chosen by its long path" "$(removed "" "")" "$(state)"

# 6. No saver set before; the saver deleted by hand before the uninstall:
#    it still removes the rest and SCRNSAVE.EXE is absent again.
set_desktop SCRNSAVE.EXE ""
set_desktop ScreenSaveActive 0
setup /S /ACTIVATE
rm -f "$saver_file"
uninstall_in_place
check "uninstall after the saver was deleted by hand" "$(removed "" 0)" "$(state)"

# 7. A name beyond ASCII packed in code page 1252, on Windows of other ANSI
#    code pages (the locale's, under Wine): installed under 1250, where its
#    bytes read as the same name; refused with exit code 2 under 1251, where
#    they read as another, nothing written. The settings file the dialog
#    rewrote goes at the uninstall all the same.
other_name="Aurore Boréale"
"$ORMELIX_SOURCE/scripts/package" --no-trial "$other_name" "$E2E_DIR/setup-1252.exe" "$SAVER_INSTALL" >/dev/null
mkdir "$E2E_DIR/locales"
for locale in pl_PL ru_RU; do
    localedef -i "$locale" -f UTF-8 "$E2E_DIR/locales/$locale.UTF-8" 2>/dev/null || fail "localedef $locale (package locales)"
done
LOCPATH="$E2E_DIR/locales" LC_ALL=ru_RU.UTF-8 run_line "$(winpath "$E2E_DIR/setup-1252.exe") /S /ACTIVATE"
check "code page 1252 under 1251: exit code" 2 "$EXIT_CODE"
check "code page 1252 under 1251: state" "$(removed "" 0)" "$(state "$other_name")"
LOCPATH="$E2E_DIR/locales" LC_ALL=pl_PL.UTF-8 run_line "$(winpath "$E2E_DIR/setup-1252.exe") /S"
check "code page 1252 under 1250: exit code" 0 "$EXIT_CODE"
check "code page 1252 under 1250: state" "$(installed "" 0)" "$(state "$other_name")"
"$ORMELIX_NATIVE_BIN/makecfg" "$savers_dir/$other_name/screensaver.cfg" demo.project 7 1 0 >/dev/null
uninstall_in_place "$other_name"
check "uninstall after the dialog wrote the settings file" "$(removed "" 0)" "$(state "$other_name")"

# 8. A folder one character too long for the install directory's longest
#    path (\channels\<GUID>.dll, 50 characters): refused with exit code 2,
#    nothing installed; picked on the directory page, a box says why and the
#    page stays.
long_folder="C:\\$(printf 'f%.0s' $(seq 207))"
run_line "$(winpath "$E2E_DIR/setup.exe") /S /D=$long_folder"
check "a folder too long: exit code" 2 "$EXIT_CODE"
check "a folder too long: state" "$(removed "" 0)" "$(state)"
start_wine "$E2E_DIR/setup.exe"
wait_window "$name Setup" 20
# Welcome, components, then the folder typed over the directory page's one.
# Boxes are watched from then on: while a page changes, the setup window
# holds only texts and buttons, as a message box does.
xdotool key Return Return ctrl+a
xdotool type --delay 0 "$long_folder"
watch_boxes 1
xdotool key Return
wait_boxes
# boxwatch writes in the ANSI code page.
check "a folder too long on the directory page: the box" \
    "$name Setup|The folder $long_folder is too long for the screen saver's files, whose paths Windows limits to 259 characters. Choose a folder of at most 209 characters.|none" \
    "$(iconv -f CP1252 -t UTF-8 <"$BOXES" | tr -d '\r')"
check "a folder too long on the directory page: still open" yes "$(process_gone "$WINE_PID" || echo yes)"
wine taskkill /f /im setup.exe >/dev/null 2>&1
wait_exit "$WINE_PID" 20
check "a folder too long on the directory page: state" "$(removed "" 0)" "$(state)"

# 9. A Windows directory that cannot be written: refused with exit code 2,
#    nothing installed. As root, Unix permissions stop nobody; the immutable
#    attribute does, where the file system has it.
windows_dir="$drive_c/windows"
if lock_path "$windows_dir"; then
    setup /S /ACTIVATE
    unlock_path "$windows_dir"
    check "Windows directory not writable: exit code" 2 "$EXIT_CODE"
    check "Windows directory not writable: state" "$(removed "" 0)" "$(state)"
else
    echo "skipped: the Windows directory cannot be made read-only on this file system"
fi

# 10. An upgrade to a version that ships other settings and drops a file: the
#    file goes; settings the user changed stay, unchanged ones are replaced by
#    the new shipped file; the uninstall then leaves nothing.
lay_out_next_version
"$ORMELIX_SOURCE/scripts/package" --no-trial "$name" "$E2E_DIR/setup-next.exe" "$next" >/dev/null
for changed in yes no; do
    setup /S
    [ $changed = no ] || printf 'the settings the user saved' >"$install_dir/screensaver.cfg"
    cp "$install_dir/screensaver.cfg" "$E2E_DIR/before.cfg"
    run_line "$(winpath "$E2E_DIR/setup-next.exe") /S"
    check "upgrade, settings changed: $changed: exit code" 0 "$EXIT_CODE"
    expected="$next/screensaver.cfg"
    [ $changed = no ] || expected="$E2E_DIR/before.cfg"
    cmp -s "$expected" "$install_dir/screensaver.cfg" || fail "upgrade, settings changed: $changed: not the settings file $expected"
    diff -r $ours_kept -x screensaver.cfg "$next" "$install_dir" || fail "upgrade: the install directory is not the new version's"
    uninstall_in_place
    check "upgrade, settings changed: $changed: uninstall" "$(removed "" 0)" "$(state)"
done

# 11. Installed into a folder of one's own (/D=), then again without it: the
#     upgrade goes where the first install went.
own_dir_win='C:\My Savers\Ship'
setup /S "/D=$own_dir_win"
check "install into a folder of one's own: exit code" 0 "$EXIT_CODE"
setup /S
check "upgrade of an install in a folder of one's own: registry entry" "$own_dir_win" \
    "$(saver_reg_value "$viewer_key" DisplayName)"
check "upgrade of an install in a folder of one's own: nothing in the default one" no \
    "$([ -e "$savers_dir" ] && echo yes || echo no)"
uninstall_in_place "$name" "$own_dir_win"
check "uninstall from a folder of one's own" "$(removed "" 0)" "$(state)"
