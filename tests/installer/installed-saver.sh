# Sourced by the installer tests: where the setup program and the package
# put the saver $name in the prefix winenv gave (32-bit, or 64-bit, where
# the 32-bit setup runs under WoW64), and icacls recorded in its place, as
# Wine has it but does not act on it: the command lines it was given go to
# $E2E_DIR/icacls.log.
drive_c="$WINEPREFIX/drive_c"
program_files="Program Files"
if grep -q '^#arch=win64' "$WINEPREFIX/system.reg"; then program_files="Program Files (x86)"; fi
echo "prefix: $(grep -m1 '^#arch=' "$WINEPREFIX/system.reg")"
savers_dir="$drive_c/$program_files/Ormelix Savers"
install_dir="$savers_dir/$name"
install_dir_win="C:\\$program_files\\Ormelix Savers\\$name"
saver_file="$drive_c/windows/$name.scr"
viewer_key="$saver_registry_base\\$name"
uninstall_root='HKLM\Software\Microsoft\Windows\CurrentVersion\Uninstall'
desktop='HKCU\Control Panel\Desktop'

for dir in system32 syswow64; do
    [ ! -d "$drive_c/windows/$dir" ] || cp "$ORMELIX_BIN/commandrecorder.exe" "$drive_c/windows/$dir/icacls.exe"
done
export WINEDLLOVERRIDES="$WINEDLLOVERRIDES;icacls.exe=n" ORMELIX_COMMAND_LOG="$(winpath "$E2E_DIR")\\icacls.log"

# recorded_icacls: the arguments icacls was last given.
recorded_icacls() { iconv -f CP1252 -t UTF-8 "$E2E_DIR/icacls.log" | tr -d '\r' | sed 's/^"[^"]*icacls\.exe" //'; }

# lay_out_next_version: $next, the install directory of a next version, which
# drops the string channel and ships other settings.
lay_out_next_version() {
    next="$E2E_DIR/next"
    cp -r "$SAVER_INSTALL" "$next"
    rm "$next/channels/$saver_string_channel"
    "$ORMELIX_NATIVE_BIN/makecfg" "$next/screensaver.cfg" demo.project 40 0 1 >/dev/null
}
