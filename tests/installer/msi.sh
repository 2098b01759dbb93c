#!/bin/bash
# The Windows Installer package of scripts/package end to end, in the prefix
# winenv gave (32-bit, or 64-bit under WoW64), installed silently by msiexec
# as a management service would: what wixl wrote, install, the installed
# saver started, upgrade keeping or replacing the settings, a rebuild of the
# same version, a downgrade refused, an uninstall that leaves nothing, the
# refusals of the checks, and the package and the setup program of one saver
# refusing each other.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/enginehost/trace.sh"

# Beyond ASCII, and with brackets, which formatted columns escape.
name="Shïp [Tést]"
. "$ORMELIX_SOURCE/tests/installer/installed-saver.sh"
# Wine hands on only the low 8 bits of msiexec's exit code: 1603 arrives as 67.
failed=$((1603 % 256))

# Version 4.5.6 as shipped; 4.5.7 drops a channel and ships other settings.
saver_lay_out_copy "$E2E_DIR" "$ORMELIX_SOURCE/demo"
lay_out_next_version
publisher='Aurore "Studio" & $ons'
convert -size 32x32 xc:navy "$E2E_DIR/author.ico"
package() {
    "$ORMELIX_SOURCE/scripts/package" --no-trial "$@" >/dev/null 2>"$E2E_DIR/package.log" ||
        { cat "$E2E_DIR/package.log" >&2; fail "scripts/package $*"; }
}
package --version 4.5.6 --publisher "$publisher" --icon "$E2E_DIR/author.ico" --description "Northern lights" \
    "$name" "$E2E_DIR/Demo.msi" "$SAVER_INSTALL"
package --version 4.5.7 "$name" "$E2E_DIR/Next.msi" "$next"
package --version 4.5.7 "$name" "$E2E_DIR/Rebuilt.msi" "$next"
saver_pack "$E2E_DIR/expected.scr" "$name" >/dev/null

# 1. What wixl wrote that Wine cannot show, read back (wixl drops what it
#    does not know without a word): the actions' rights and the removal of
#    the version before inside the transaction, which Wine ignores, the
#    administrator's condition, where Wine makes everyone one, the icon; and
#    the code page set after wixl.
tables() { for table in "$@"; do msiinfo export "$E2E_DIR/Demo.msi" "$table"; done | tr -d '\r'; }
for row in "CheckInstall	1	SetupActions	CheckInstall" \
           "InstallSettingsFile	3073	SetupActions	InstallSettingsFile" \
           "RemoveSettingsFile	3137	SetupActions	RemoveSettingsFile" \
           "RemoveExistingProducts		1501" \
           "Privileged	Installing the screen saver \"Shïp [\[]Tést[\]]\" needs administrator rights." \
           "ARPPRODUCTICON	saver.ico" "1252	_ForceCodepage"; do
    tables CustomAction InstallExecuteSequence LaunchCondition Property _ForceCodepage | grep -qF -- "$row" ||
        fail "the package lacks the row [$row]"
done
echo "ok: the package's tables"

msiexec() { run_line "msiexec $*"; }
# refused DESCRIPTION REASON ARGS...: msiexec ARGS with its user interface
# must refuse, saying REASON in a box, and change nothing.
refused() {
    local what=$1 reason=$2 before
    shift 2
    before="$(state)"
    watch_boxes 1
    msiexec "$@"
    wait_boxes
    check "$what: exit code" "$failed" "$EXIT_CODE"
    iconv -f CP1252 -t UTF-8 "$BOXES" | grep -qF -- "$reason" || fail "$what: no box saying [$reason]: $(cat "$BOXES")"
    check "$what: nothing changed" "$before" "$(state)"
}

# product_codes: the product codes of the saver's uninstall entries (the
# setup program's entry is named otherwise).
product_codes() {
    wine reg query "$uninstall_root" /s /reg:32 2>/dev/null | iconv -f CP437 -t UTF-8 | tr -d '\r' |
        awk -v shown="    DisplayName    REG_SZ    $name (screen saver)" '/^HKEY/ { key = $0 }
            $0 == shown && key ~ /\\{[-0-9A-F]+}$/ { sub(/.*\\/, "", key); print key }'
}
# state: what is installed of the saver, in one line.
state() {
    local scr=no files=no key=no codes
    [ -e "$saver_file" ] && scr=yes
    [ -e "$savers_dir" ] && files=yes
    has_key "$viewer_key" && key=yes
    codes="$(product_codes)"
    echo "scr=$scr files=$files key=$key entries=$(grep -c . <<<"$codes") version=$(
        [ -z "$codes" ] || saver_reg_value "$uninstall_root\\$(head -n1 <<<"$codes")" DisplayVersion)"
}
installed() { echo "scr=yes files=yes key=yes entries=1 version=$1"; }
removed="scr=no files=no key=no entries=0 version="
uninstall() { msiexec /x "$(product_codes | head -n1)" /qn; }
initial_saver="$(saver_reg_value "$desktop" SCRNSAVE.EXE)"
# Other tests in the same prefix may have left viewers' keys.
viewers_keys="$(has_key "$saver_registry_base" && echo yes || echo no)"

# 2. Installed: the saver, the install directory as shipped, the viewer's
#    value, one uninstall entry with the author's details, Users' right to
#    the settings; nothing of the signed-in user's.
msiexec /i "$(winpath "$E2E_DIR/Demo.msi")" /qn
check "install: exit code" 0 "$EXIT_CODE"
check "install: state" "$(installed 4.5.6)" "$(state)"
cmp -s "$E2E_DIR/expected.scr" "$saver_file" || fail "the installed saver is not the viewer packed for '$name'"
diff -r -x screensaver.cfg.shipped "$SAVER_INSTALL" "$install_dir" || fail "the install directory differs from the shipped one"
check "registry value, 32-bit view" "$install_dir_win" "$(saver_reg_value "$viewer_key" DisplayName)"
entry="$uninstall_root\\$(product_codes)"
for row in "Publisher|$publisher" "InstallLocation|$install_dir_win" "Comments|Northern lights"; do
    check "uninstall entry ${row%%|*}" "${row#*|}" "$(saver_reg_value "$entry" "${row%%|*}")"
done
check "install: Users may modify the settings file" "\"$install_dir_win\\screensaver.cfg\" /grant *S-1-5-32-545:(M)" \
    "$(recorded_icacls)"
check "install: the current saver untouched" "$initial_saver" "$(saver_reg_value "$desktop" SCRNSAVE.EXE)"

# 3. The installed saver, started as Windows starts it, runs until a key.
start_traced "$saver_file" /s
wait_window "Screen Saver" 20
wait_frames 1
xdotool key space
wait_exit "$WINE_PID" 20
check "the installed saver: exit code after a key" 0 "$EXIT_CODE"

# 4. The setup program of the same saver refuses, nothing changed.
package "$name" "$E2E_DIR/setup.exe" "$SAVER_INSTALL"
run_line "$(winpath "$E2E_DIR/setup.exe") /S"
check "the setup program over the package: exit code" 2 "$EXIT_CODE"
check "the setup program over the package: state" "$(installed 4.5.6)" "$(state)"

# 5. Upgrades: the settings left as shipped are replaced by the new ones, the
#    dropped channel goes; a rebuild of the same version replaces it in
#    place and keeps the settings the user changed; an older one is refused.
msiexec /i "$(winpath "$E2E_DIR/Next.msi")" /qn
check "upgrade: exit code" 0 "$EXIT_CODE"
check "upgrade: state" "$(installed 4.5.7)" "$(state)"
diff -r -x screensaver.cfg.shipped "$next" "$install_dir" || fail "upgrade: the install directory is not the new version's"
printf 'the settings the user saved' >"$install_dir/screensaver.cfg"
msiexec /i "$(winpath "$E2E_DIR/Rebuilt.msi")" /qn
check "rebuild of the same version: exit code" 0 "$EXIT_CODE"
check "rebuild of the same version: state" "$(installed 4.5.7)" "$(state)"
check "rebuild of the same version: the user's settings" "the settings the user saved" "$(cat "$install_dir/screensaver.cfg")"
refused "downgrade" "A newer version of the screen saver \"$name\" is installed." /i "$(winpath "$E2E_DIR/Demo.msi")"

# 6. Uninstalled: nothing left, the settings the user changed included.
uninstall
check "uninstall: exit code" 0 "$EXIT_CODE"
check "uninstall: state" "$removed" "$(state)"
check "uninstall: the viewers' keys as before" "$viewers_keys" "$(has_key "$saver_registry_base" && echo yes || echo no)"

# 7. Into a folder of one's own, then upgraded without it: the upgrade goes
#    where the first install went.
msiexec /i "$(winpath "$E2E_DIR/Demo.msi")" 'INSTALLDIR="C:\My Savers\Ship"' /qn
msiexec /i "$(winpath "$E2E_DIR/Next.msi")" /qn
check "upgrade of an install in a folder of one's own: registry value" 'C:\My Savers\Ship' \
    "$(saver_reg_value "$viewer_key" DisplayName)"
check "upgrade of an install in a folder of one's own: the settings there" yes \
    "$([ -f "$drive_c/My Savers/Ship/screensaver.cfg" ] && echo yes || echo no)"
uninstall
check "uninstall from a folder of one's own" "$removed gone" \
    "$(state) $([ -e "$drive_c/My Savers/Ship" ] && echo left || echo gone)"

# 8. The package's checks: a folder one character too long for the install
#    directory's longest path, a Windows whose code page reads the name as
#    another (1251, from the locale), a saver the setup program installed:
#    each refused, nothing installed.
refused "a folder too long" "Choose a folder of at most 209 characters. Nothing was installed." \
    /i "$(winpath "$E2E_DIR/Demo.msi")" "INSTALLDIR=C:\\$(printf 'f%.0s' $(seq 207))"
mkdir "$E2E_DIR/locales"
localedef -i ru_RU -f UTF-8 "$E2E_DIR/locales/ru_RU.UTF-8" 2>/dev/null || fail "localedef ru_RU (package locales)"
LOCPATH="$E2E_DIR/locales" LC_ALL=ru_RU.UTF-8 refused "code page 1252 under 1251" \
    "is made for Windows with the code page 1252; this Windows uses the code page 1251" /i "$(winpath "$E2E_DIR/Demo.msi")"
run_line "$(winpath "$E2E_DIR/setup.exe") /S"
refused "the package over the setup program" "was installed by its setup program, in $install_dir_win." \
    /i "$(winpath "$E2E_DIR/Demo.msi")"
