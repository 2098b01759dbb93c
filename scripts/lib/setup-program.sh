# Sourced by scripts/package: the setup program of a saver, installer/saver.nsi
# built with makensis. Refusals call the caller's fail.

# compile_text TEXT: TEXT with '"' escaped, as the strings makensis uses
# itself hold it (the version resource, the files File packs), where '$'
# stays single; nsis_text TEXT: with '$' doubled too, as the strings of the
# setup program hold it.
compile_text() { printf '%s' "${1//\"/\$\\\"}"; }
nsis_text() { compile_text "${1//\$/\$\$}"; }

# build_setup_program OUTFILE: the setup program of the saver $SAVER_SCR for
# $name in code page $codepage, with $version, $publisher, $description,
# $icon and the install directory $source (none if empty), written to
# OUTFILE; work files go to $work. It refuses a machine where the package of
# the same saver is installed, which it knows by the package's upgrade code.
build_setup_program() {
    local upgrade defines name_bytes files
    upgrade="$(msi_upgrade_code "$name")"
    defines=(-DUPGRADE_CODE="{$upgrade}"
             -DPROJECT_NAME="$(nsis_text "$name")" -DNAME_RESOURCE="$(compile_text "$name")"
             -DSAVER="$(compile_text "$SAVER_SCR")"
             -DVERSION="$version" -DOUTFILE="$1" -DLONGEST_ENTRY="$SHIP_LONGEST_ENTRY"
             -DLONGEST_PATH="$ship_longest_path")
    [ -z "$publisher" ] || defines+=(-DPUBLISHER="$(nsis_text "$publisher")"
                                     -DPUBLISHER_RESOURCE="$(compile_text "$publisher")")
    [ -z "$description" ] || defines+=(-DDESCRIPTION="$(nsis_text "$description")")
    [ -z "$icon" ] || defines+=(-DICON="$(compile_text "$(readlink -f -- "$icon")")")
    if beyond_ascii "$name"; then
        name_bytes="$(printf '%s' "$name" | iconv -f UTF-8 -t "CP$((10#$codepage))" | od -An -v -tu1 |
            xargs printf '&i1 %s, ')"
        defines+=(-DNAME_CODEPAGE="$((10#$codepage))" -DNAME_BYTES="$name_bytes&i1 0")
    fi
    if [ -n "${ORMELIX_SIGN_PKCS12:-}" ]; then
        defines+=(-DSIGN_COMMAND="\"$(nsis_text "$root/scripts/lib/sign-file")\" \"%1\"")
    fi
    if [ -n "$source" ]; then
        # The files but "screensaver.cfg", which the setup program treats as the
        # user's once installed, and the list of them that the next upgrade and
        # the uninstaller read (installer/InstalledFiles.nsh).
        files="$work/project-files.nsh"
        {
            echo '!macro InstallProjectFiles'
            (cd "$source" && find . -type d | sort) | while IFS= read -r d; do
                rel="${d#.}"
                echo "  SetOutPath \"\$INSTDIR$(nsis_text "${rel//\//\\}")\""
                (cd "$source/$d" && find . -maxdepth 1 -type f | sort) | while IFS= read -r f; do
                    [ "$d/$f" = "././screensaver.cfg" ] ||
                        echo "  File \"$(compile_text "$(readlink -f "$source/$d/$f")")\""
                done
            done
            echo '!macroend'
            echo "!define PROJECT_FILE_LIST \"$(compile_text "$work/installed-files.txt")\""
            if [ -f "$source/screensaver.cfg" ]; then
                echo "!define SHIPPED_SETTINGS \"$(compile_text "$(readlink -f "$source/screensaver.cfg")")\""
            fi
        } >"$files"
        {
            (cd "$source" && find . -type f ! -path ./screensaver.cfg | sort) | sed 's|^\./||'
            (cd "$source" && find . -mindepth 1 -type d | sort -r) | sed 's|^\./||; s|$|/|'
        } | sed 's|/|\\|g; s|$|\r|' | iconv -f UTF-8 -t UTF-16LE >"$work/installed-files.txt"
        defines+=(-DPROJECT_FILES="$files")
    fi

    # makensis reads its command line in the locale's character set: the name is
    # UTF-8 whatever the caller's locale (in the C locale makensis stops).
    LC_ALL=C.UTF-8 makensis -V2 -INPUTCHARSET UTF8 "${defines[@]}" "$root/installer/saver.nsi" >"$work/makensis.log" 2>&1 ||
        { cat "$work/makensis.log" >&2; fail "makensis could not build the setup program"; }
}
