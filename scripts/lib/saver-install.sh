# Sourced by scripts/demo, scripts/bench and the end-to-end tests alike: installs a
# project for the packed viewer into the current Wine prefix the way a real
# installation lays it out, and packs a viewer copy that names it.
#
# DIR is a Unix directory that receives install/ and NAME.scr; NAME is the
# project name packed into the viewer and used in the registry. Needs
# ORMELIX_BIN (the Win32 programs), ORMELIX_NATIVE_BIN (saverpack, makecfg)
# and WINEPREFIX. Sets SAVER_SCR (the packed viewer) and
# SAVER_INSTALL (the install directory).

# The 32-bit registry view (/reg:32) is the one the 32-bit viewer reads, also
# in a 64-bit prefix.
saver_registry_base='HKLM\SOFTWARE\Velcor\Ormelix Viewers\3.00.000'
saver_plugin=3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26.dll
saver_string_channel=9C2D4E81-5F36-4A7B-8E19-D0B3F6A2C457.dll

# saver_winpath /unix/path: the same file as Wine sees it through drive Z:.
saver_winpath() { local p; p="$(readlink -f "$1")"; echo "Z:${p//\//\\}"; }

# saver_install DIR NAME PROJECT DELAY DO-NOT-QUIT PREVIEW: an install
# directory for PROJECT with the settings given.
saver_install() {
    local dir=$1 name=$2 project=$3 delay=$4 doNotQuit=$5 preview=$6
    saver_lay_out "$dir"
    cp "$project" "$SAVER_INSTALL/project.txt"
    "$ORMELIX_NATIVE_BIN/makecfg" "$SAVER_INSTALL/screensaver.cfg" project.txt \
        "$delay" "$doNotQuit" "$preview" >/dev/null
    saver_register_and_pack "$dir" "$name"
}

# saver_install_copy DIR NAME SOURCE: an install directory holding the files
# of SOURCE (a project file and its "screensaver.cfg", as demo/ has them).
saver_install_copy() {
    local dir=$1 name=$2 source=$3
    saver_lay_out_copy "$dir" "$source"
    saver_register_and_pack "$dir" "$name"
}

# saver_lay_out_copy DIR SOURCE: DIR/install laid out with the files of
# SOURCE, neither registered nor packed (what a setup program ships).
saver_lay_out_copy() {
    saver_lay_out "$1"
    cp -r "$2"/. "$SAVER_INSTALL/"
}

# saver_lay_out DIR: DIR/install with the engine, the channel libraries in
# channels\ and an empty 3rd\.
saver_lay_out() {
    SAVER_INSTALL="$1/install"
    rm -rf "$SAVER_INSTALL"
    mkdir -p "$SAVER_INSTALL/channels" "$SAVER_INSTALL/3rd"
    cp "$ORMELIX_BIN/drovik.dll" "$SAVER_INSTALL/"
    cp "$ORMELIX_BIN/$saver_plugin" "$ORMELIX_BIN/$saver_string_channel" "$SAVER_INSTALL/channels/"
}

# saver_register_and_pack DIR NAME: registers the install directory under
# NAME and packs DIR/NAME.scr naming it.
saver_register_and_pack() {
    local dir=$1 name=$2
    wine reg add "$saver_registry_base\\$name" /v DisplayName /t REG_SZ \
        /d "$(saver_winpath "$SAVER_INSTALL")" /f /reg:32 >/dev/null 2>&1
    saver_pack "$dir/$name.scr" "$name" >/dev/null
}

# saver_pack SCR NAME [CODEPAGE]: packs a viewer copy naming NAME into SCR
# (set as SAVER_SCR), the name in Windows code page CODEPAGE (1252 unless
# given); saverpack's refusal and its message pass through.
saver_pack() {
    SAVER_SCR=$1
    rm -f "$SAVER_SCR"
    "$ORMELIX_NATIVE_BIN/saverpack" pack --codepage "${3:-1252}" -- "$ORMELIX_BIN/saverviewer.scr" "$SAVER_SCR" "$2"
}

# saver_reg_value KEY NAME [VIEW]: the registry value's data, empty when it
# is absent; the 32-bit view unless VIEW is 64. reg writes into a pipe in the
# OEM code page, 437 in the C and English locales.
saver_reg_value() {
    { wine reg query "$1" /v "$2" "/reg:${3:-32}" 2>/dev/null || true; } | tr -d '\r' |
        awk -F'    ' 'NF >= 4 { print $4 }' | iconv -f CP437 -t UTF-8
}

# saver_uninstall NAME: removes the project's registry key again.
saver_uninstall() {
    wine reg delete "$saver_registry_base\\$1" /f /reg:32 >/dev/null 2>&1 || true
}
