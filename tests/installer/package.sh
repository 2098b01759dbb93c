#!/bin/bash
# scripts/package on bad input: each refusal says why, exits with 1 (wrong
# usage: 2), leaves an existing output untouched and writes nothing, neither
# beside the output nor in the install directory; and the optional signing of
# the saver, the uninstaller, the setup program and the package with a
# throwaway certificate.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"

package="$ORMELIX_SOURCE/scripts/package"
saver_lay_out_copy "$E2E_DIR" "$ORMELIX_SOURCE/demo"
output="$E2E_DIR/out/setup.exe"
mkdir -p "$E2E_DIR/out" "$E2E_DIR/bad install/sub"
cp -r "$SAVER_INSTALL/." "$E2E_DIR/bad install/"
touch "$E2E_DIR/bad install/sub/what?.txt"
cp -r "$SAVER_INSTALL" "$E2E_DIR/own names"
touch "$E2E_DIR/own names/installed-files.txt"
mkdir "$E2E_DIR/no settings"
cp -r "$SAVER_INSTALL/." "$E2E_DIR/no settings/"
rm "$E2E_DIR/no settings/screensaver.cfg"
printf 'not an icon' >"$E2E_DIR/icon.ico"
# A project with a typo, and settings naming a project file that is not there.
cp -r "$SAVER_INSTALL" "$E2E_DIR/typo"
sed -i 's/^scene orbit/scene orbitt/' "$E2E_DIR/typo/demo.project"
cp -r "$SAVER_INSTALL" "$E2E_DIR/no project"
"$ORMELIX_NATIVE_BIN/makecfg" "$E2E_DIR/no project/screensaver.cfg" demo.projet 20 0 1 >/dev/null
# A PATH with every command but makensis.
mkdir "$E2E_DIR/no-makensis"
for tool in /usr/bin/*; do
    [ "${tool##*/}" = makensis ] || ln -s "$tool" "$E2E_DIR/no-makensis/"
done
# name N: a project name of N characters.
name() { printf 'n%.0s' $(seq "$1"); }
install_listing="$(ls -AR "$SAVER_INSTALL")"

# [want=CODE] refused DESCRIPTION MESSAGE-PART [env VAR=VALUE...] -- ARGS...:
# package ARGS must exit with CODE (1 unless given), say MESSAGE-PART and
# leave the old output alone.
refused() {
    local what=$1 message=$2 environment=() err
    shift 2
    while [ "$1" != -- ]; do environment+=("$1"); shift; done
    shift
    echo old >"$output"
    set +e
    err="$(env "${environment[@]}" "$package" "$@" 2>&1 >/dev/null)"
    local code=$?
    set -e
    check "$what: exit code" "${want:-1}" "$code"
    case "$err" in *"$message"*) ;; *) fail "$what: message [$err] lacks [$message]" ;; esac
    check "$what: old output kept" old "$(cat "$output")"
    check "$what: nothing else written" "setup.exe" "$(ls -A "$E2E_DIR/out")"
    check "$what: nothing written in the install directory" "$install_listing" "$(ls -AR "$SAVER_INSTALL")"
}

refused "empty name (saverpack refuses it)" "the project name is empty" -- "" "$output" "$SAVER_INSTALL"
refused "name too long for the viewer's registry key" "at most 219 fit in the viewer's registry key path" -- "$(name 220)" "$output"
# The demo's longest entry, \channels\<GUID>.dll, has 50 characters.
refused "name too long under the 64-bit default folder" \
    "on 64-bit Windows the setup program installs C:\\Program Files (x86)\\Ormelix Savers\\$(name 172)\\channels\\3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26.dll, 260 characters" \
    -- "$(name 172)" "$output" "$SAVER_INSTALL"
refused "name too long under the 32-bit default folder" "on 32-bit Windows the setup program installs" -- "$(name 178)" "$output" "$SAVER_INSTALL"
refused "backslash in the name" "forbids in file names" -- 'My\Saver' "$output"
refused "a character code page 1252 lacks" "which code page 1252 lacks" -- "Заставка" "$output"
refused "a character 932 reads back as another" "which is how code page 932 reads it back" -- --codepage 932 "A¥B" "$output"
refused "unsupported code page" "code page \"437\" is not supported" -- --codepage 437 "Demo" "$output"
refused "control character" "control character" -- $'My\tSaver' "$output"
refused "device name" "device name" -- "nul" "$output"
refused "device name, superscript digit, extension" "device name" -- "COM¹.Saver" "$output"
refused "trailing dot" "ends with a dot" -- "Saver." "$output"
refused "trailing blank" "ends with a dot or a blank" -- "Saver " "$output"
refused "missing install directory" "does not exist" -- "Demo" "$output" "$E2E_DIR/missing"
refused "install directory without engine" "holds no drovik.dll" -- "Demo" "$output" "$E2E_DIR/out"
refused "file name Windows cannot hold" "a name Windows cannot hold" -- "Demo" "$output" "$E2E_DIR/bad install"
refused "a name the setup program keeps for itself" "installed-files.txt, a name the setup program keeps" -- "Demo" "$output" "$E2E_DIR/own names"
refused "install directory without screensaver.cfg" "holds no screensaver.cfg" -- "Demo" "$output" "$E2E_DIR/no settings"
refused "the build's programs as install directory" "a saver does not use: " -- "Demo" "$output" "$ORMELIX_BIN"
refused "output a directory" "is a directory" -- "Demo" "$E2E_DIR/out" "$SAVER_INSTALL"
refused "output inside the install directory" "lies inside the install directory" -- "Demo" "$SAVER_INSTALL/setup.exe" "$SAVER_INSTALL"
refused "a project the trial run refuses" 'line 4: unknown scene "orbitt"' -- "Demo" "$output" "$E2E_DIR/typo"
refused "without the trial, a project file missing" "would not find its project" -- --no-trial "Demo" "$output" "$E2E_DIR/no project"
refused "control character in the publisher" "control character" -- --publisher $'Me\nYou' "Demo" "$output"
refused "version of two numbers" "is not three numbers" -- --version 1.2 "Demo" "$output"
refused "version number over 65535" "over 65535" -- --version 1.65536.0 "Demo" "$output"
refused "icon that is no icon" "is no icon file" -- --icon "$E2E_DIR/icon.ico" "Demo" "$output"
refused "a package's version over 255.255" "first two numbers are at most 255" -- --version 256.0.0 "Demo" "$E2E_DIR/out/Demo.msi"
refused "a package's publisher beyond its code page" "code page 1252 lacks" -- --publisher "Студия" "Demo" "$E2E_DIR/out/Demo.msi"
refused "no makensis" "makensis not found" PATH="$E2E_DIR/no-makensis" -- "Demo" "$output"
refused "missing certificate" "no certificate file" ORMELIX_SIGN_PKCS12="$E2E_DIR/missing.p12" -- "Demo" "$output"
refused "missing output directory" "does not exist" -- "Demo" "$E2E_DIR/missing/setup.exe"
want=2 refused "unknown option" "unknown option --frobnicate" -- --frobnicate "Demo" "$output"
want=2 refused "no output" "usage: scripts/package" -- "Demo"
# accepted NAME [INSTALL_DIR]: package builds the setup program.
accepted() {
    "$package" --no-trial "$1" "$output" "${@:2}" >/dev/null 2>&1 || fail "a name of ${#1} characters refused"
    echo "ok: a name of ${#1} characters accepted${2:+ with the install directory}"
}
# The longest names that fit: 219 characters in the key path, 171 under the
# 64-bit default folder (its longest path then has 259 characters).
accepted "$(name 219)"
accepted "$(name 171)" "$SAVER_INSTALL"
# A package's product name, which Windows Installer limits to 63 characters.
"$package" --no-trial "$(name 70)" "$E2E_DIR/out/Long.msi" >/dev/null 2>&1 || fail "a package for a long name refused"
check "a long name's product name" "$(name 60)..." "$(msiinfo export "$E2E_DIR/out/Long.msi" Property | tr -d '\r' | sed -n 's/^ProductName\t//p')"
rm "$E2E_DIR/out/Long.msi"
# The version resource holds the name as it stands.
accepted 'Sa$ver'
check "the version resource's ProductName" 'Sa$ver' "$(strings -el "$output" | grep -m1 -A1 -x ProductName | sed -n 2p)"
grep -q '^usage: scripts/package \[--codepage N\] ' <<<"$("$package" --help)" || fail "--help prints no usage"
echo "ok: --help"

# Signing, where osslsigncode and openssl are installed (neither is required):
# the setup program, the saver and the uninstaller it installs carry a
# signature, and so does a package.
if command -v osslsigncode >/dev/null && command -v openssl >/dev/null; then
    openssl req -x509 -newkey rsa:2048 -nodes -subj "/CN=Ormelix test" -days 1 \
        -keyout "$E2E_DIR/key.pem" -out "$E2E_DIR/cert.pem" >/dev/null 2>&1
    openssl pkcs12 -export -inkey "$E2E_DIR/key.pem" -in "$E2E_DIR/cert.pem" \
        -passout pass:secret -out "$E2E_DIR/cert.p12" >/dev/null 2>&1
    ORMELIX_SIGN_PKCS12="$E2E_DIR/cert.p12" ORMELIX_SIGN_PASSWORD=secret \
        "$package" "Signed Demo" "$output" "$SAVER_INSTALL" >/dev/null
    check "signed: nothing else written" "setup.exe" "$(ls -A "$E2E_DIR/out")"
    wine "$output" /S >>"$E2E_DIR/wine.log" 2>&1 || fail "the signed setup program failed"
    uninstaller="$(find "$WINEPREFIX/drive_c" -path '*/Ormelix Savers/Signed Demo/uninstall.exe')"
    on_exit "wine '$uninstaller' /S '_?=$(winpath "$(dirname "$uninstaller")")' >/dev/null 2>&1"
    for signed in "$output" "$WINEPREFIX/drive_c/windows/Signed Demo.scr" "$uninstaller"; do
        osslsigncode extract-signature -in "$signed" -out "$E2E_DIR/signature" >/dev/null 2>&1 ||
            fail "no signature on $signed"
        rm -f "$E2E_DIR/signature"
        echo "ok: signed: ${signed##*/}"
    done
    ORMELIX_SIGN_PKCS12="$E2E_DIR/cert.p12" ORMELIX_SIGN_PASSWORD=secret \
        "$package" --no-trial "Signed Demo" "$E2E_DIR/out/Signed.msi" "$SAVER_INSTALL" >/dev/null 2>&1
    osslsigncode extract-signature -in "$E2E_DIR/out/Signed.msi" -out "$E2E_DIR/signature" >/dev/null 2>&1 ||
        fail "no signature on the package"
    echo "ok: signed: the package"
else
    echo "skipped: signing (osslsigncode or openssl not installed)"
fi
