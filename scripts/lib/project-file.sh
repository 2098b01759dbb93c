# Sourced by scripts/package and scripts/check-saver: the project file that an
# install directory's "screensaver.cfg" names, and what its bytes say about the
# encoding it was written in. Its format is the engine's: only the trial run
# (scripts/lib/trial-run.sh) judges the rest.

# settings_project_path CFG CODEPAGE: the project path in the settings file
# (its "SCFP" chunk, in the code page), as UTF-8; fails for a file that is no
# settings file or names no project.
settings_project_path() {
    local cfg=$1 offset=4 total size code
    [ "$(head -c4 -- "$cfg")" = OCHK ] || return 1
    total="$(stat -c %s -- "$cfg")"
    while [ $((offset + 8)) -le "$total" ]; do
        code="$(tail -c +$((offset + 1)) -- "$cfg" | head -c4)"
        size="$(od -An -tu4 --endian=little -j $((offset + 4)) -N4 -- "$cfg" | tr -d ' ')"
        if [ "$code" = SCFP ]; then
            tail -c +$((offset + 9)) -- "$cfg" | head -c "$size" | tr '\0' '\n' | head -n1 |
                iconv -f "CP$2" -t UTF-8 | grep .
            return
        fi
        offset=$((offset + 8 + size))
    done
    return 1
}

# check_project_file DIR CODEPAGE: warns on the standard error about the
# project file that DIR's "screensaver.cfg" names: a UTF-8 byte-order mark,
# UTF-8 text that the code page shows otherwise, a path outside DIR. Fails
# when the settings name no project file that DIR holds (the setup program
# would ship a saver without its project).
check_project_file() {
    local dir=$1 codepage=$2 path file line skip=1
    path="$(settings_project_path "$dir/screensaver.cfg" "$codepage")" || {
        echo "$dir/screensaver.cfg is no settings file naming a project; write it with makecfg" >&2
        return 1
    }
    case "$path" in
        [A-Za-z]:*|\\*|/*)
            echo "warning: screensaver.cfg names the project file by the full path $path, which the setup program does not install; name it relative to the install directory" >&2
            return 0 ;;
    esac
    file="$dir/${path//\\//}"
    [ -f "$file" ] || {
        echo "screensaver.cfg names the project file $path, which the install directory $dir does not hold" >&2
        return 1
    }
    if [ "$(head -c3 -- "$file" | od -An -tx1 | tr -d ' ')" = efbbbf ]; then
        echo "warning: $path starts with a UTF-8 byte-order mark, which the engine reads as text of its first line; save it without one" >&2
        skip=4
    fi
    # Text beyond ASCII that is valid UTF-8 was most likely written as UTF-8.
    line="$(tail -c +$skip -- "$file" | LC_ALL=C grep -a -n -m1 $'[\x80-\xff]' || true)"
    if [ -n "$line" ] && tail -c +$skip -- "$file" | iconv -f UTF-8 -t UTF-8 >/dev/null 2>&1; then
        echo "warning: $path is UTF-8 text, which the engine reads in code page $codepage: line ${line%%:*} shows as \"$(printf '%s' "${line#*:}" | iconv -f "CP$codepage" -t UTF-8 2>/dev/null)\"; save it in code page $codepage (iconv -f UTF-8 -t CP$codepage)" >&2
    fi
    return 0
}
