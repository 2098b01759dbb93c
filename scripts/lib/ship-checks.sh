# Sourced by scripts/package and scripts/check-saver: what an output file, an
# install directory and a project name must be for a saver that starts where
# the setup program puts it. Each check writes nothing; a refusal calls the
# caller's fail with a message that says what to do.

# Windows' longest path, MAX_PATH less its terminator; the viewer's buffers
# hold as much (tests/enginehost/engine-binding.sh: the settings file and the engine
# are found up to exactly this length, not one character beyond).
ship_longest_path=259
# The setup program's default folder ($PROGRAMFILES\Ormelix Savers) on 32-bit
# Windows and on 64-bit Windows, where the 32-bit setup program is given
# Program Files (x86).
ship_default_folders=('C:\Program Files\Ormelix Savers' 'C:\Program Files (x86)\Ormelix Savers')
ship_folder_systems=('32-bit' '64-bit')

# ship_bytes CODEPAGE: the length of each line of the standard input in bytes
# of the code page, as the viewer and the engine hold it.
ship_bytes() { iconv -c -f UTF-8 -t "CP$1" | LC_ALL=C awk '{ print length($0) }'; }

# ship_check_output OUTPUT: OUTPUT must name a file, not a directory.
ship_check_output() {
    [ ! -d "$1" ] || fail "the output $1 is a directory; name the setup program's file, such as $1/setup.exe"
}

# ship_check_output_outside OUTPUT DIR: the setup program must not land in
# the install directory, whose files the next setup program would ship.
ship_check_output_outside() {
    local outdir dir
    outdir="$(readlink -f -- "$(dirname -- "$1")")" dir="$(readlink -f -- "$2")"
    case "$outdir/" in
        "$dir"/*) fail "the output $1 lies inside the install directory $2, which the setup program ships; write it elsewhere" ;;
    esac
}

# ship_check_install_dir DIR: the engine and "screensaver.cfg" are there, and
# nothing a saver never uses: it runs no program from the directory and loads
# libraries only as the engine, or from channels\ and 3rd\.
ship_check_install_dir() {
    local dir=$1 bad unused count
    [ -d "$dir" ] || fail "the install directory $dir does not exist"
    [ -f "$dir/drovik.dll" ] || fail "the install directory $dir holds no drovik.dll (the engine); is it the right directory?"
    bad="$(cd "$dir" && find . -mindepth 1 -name '*[\\:*?"<>|[:cntrl:]]*' | head -n1)"
    [ -z "$bad" ] || fail "the install directory holds $bad, a name Windows cannot hold"
    unused="$(cd "$dir" && find . -type f \( -iname '*.exe' -o -iname '*.scr' -o -iname '*.com' -o \
        \( -iname '*.dll' ! -ipath './channels/*' ! -ipath './3rd/*' ! -ipath './drovik.dll' \) \) |
        sed 's|^\./||' | sort)"
    if [ -n "$unused" ]; then
        count="$(wc -l <<<"$unused")"
        fail "the install directory $dir holds $count file(s) a saver does not use: $(head -n5 <<<"$unused" | paste -sd' ')$([ "$count" -gt 5 ] && echo ' ...'); it runs no program from there, and libraries other than drovik.dll belong in channels/ or 3rd/. Is it the right directory?"
    fi
    [ -f "$dir/screensaver.cfg" ] ||
        fail "the install directory $dir holds no screensaver.cfg, which names the project; write it with makecfg"
    local own
    for own in installed-files.txt screensaver.cfg.shipped; do
        [ ! -e "$dir/$own" ] || fail "the install directory holds $own, a name the setup program keeps for itself"
    done
}

# ship_check_lengths NAME CODEPAGE [DIR]: every path the setup program
# installs from DIR stays within Windows' limit under its default folder
# (saverpack refuses a name too long for the viewer's registry key path). Sets SHIP_LONGEST_ENTRY, the length of the
# longest "\path" in DIR (0 without DIR), which the setup program checks the
# folder picked on its directory page against.
ship_check_lengths() {
    local name=$1 codepage=$2 dir=${3:-} name_bytes entries longest entry i folder total
    name_bytes="$(printf '%s\n' "$name" | ship_bytes "$codepage")"
    SHIP_LONGEST_ENTRY=0
    [ -n "$dir" ] || return 0
    entries="$(cd "$dir" && find . -mindepth 1 | sed 's|^\.||; s|/|\\|g')"
    [ -n "$entries" ] || return 0
    longest="$(paste -d'\t' <(ship_bytes "$codepage" <<<"$entries") - <<<"$entries" | sort -t$'\t' -k1,1nr | head -n1)"
    SHIP_LONGEST_ENTRY=${longest%%$'\t'*} entry=${longest#*$'\t'}
    for i in "${!ship_default_folders[@]}"; do
        folder=${ship_default_folders[$i]}
        total=$(($(printf '%s\n' "$folder" | ship_bytes "$codepage") + 1 + name_bytes + SHIP_LONGEST_ENTRY))
        [ "$total" -le "$ship_longest_path" ] ||
            fail "the project name '$name' is too long for its install folder: on ${ship_folder_systems[$i]} Windows the setup program installs $folder\\$name$entry, $total characters, over Windows' limit of $ship_longest_path; shorten the name (or that path) by $((total - ship_longest_path)) characters"
    done
}

# ship_check_author_details VERSION PUBLISHER ICON DESCRIPTION: what the
# author gives the setup program, each empty for the default: a version of
# three numbers as Windows' version resource holds them, texts without
# control characters, an icon file.
ship_check_author_details() {
    local version=$1 publisher=$2 icon=$3 description=$4 part
    if [ -n "$version" ]; then
        [[ $version =~ ^[0-9]{1,5}\.[0-9]{1,5}\.[0-9]{1,5}$ ]] ||
            fail "the version '$version' is not three numbers such as 1.2.0"
        for part in ${version//./ }; do
            [ $((10#$part)) -le 65535 ] || fail "the version '$version' has a number over 65535"
        done
    fi
    local LC_ALL=C.UTF-8
    [[ $publisher$description != *[[:cntrl:]]* ]] || fail "the publisher or the description holds a control character"
    if [ -n "$icon" ]; then
        [ -f "$icon" ] || fail "no icon file $icon"
        [ "$(head -c4 -- "$icon" | od -An -tx1 | tr -d ' ')" = 00000100 ] ||
            fail "$icon is no icon file (.ico)"
    fi
}
