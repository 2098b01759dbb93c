# Sourced by scripts/package and scripts/check-saver, after
# scripts/lib/saver-install.sh, scripts/lib/project-file.sh and
# scripts/lib/display.sh: the trial run, the packed saver started full screen
# against an install directory under Wine, in a scratch prefix and on an Xvfb
# display of its own, as Windows would start it after the setup program.
# Needs ORMELIX_BIN (boxwatch.exe) and the template prefixes that
# scripts/setup boots.

# How long the trial waits for the saver's window, and then watches it run.
trial_start_seconds=15
trial_run_seconds=1

# try_saver TOOL SCR NAME CODEPAGE DIR [no-trial]: what scripts/package and
# scripts/check-saver say of a saver before it ships, each line on the
# standard error after "TOOL: ": the project file's warnings
# (scripts/lib/project-file.sh), then the trial run unless no-trial. Returns
# as trial_run does; with no-trial, 1 when the settings name no project file
# that DIR holds.
try_saver() {
    local tool=$1 scr=$2 name=$3 codepage=$4 dir=$5 trial=${6:-} result=0 log
    log="$(mktemp)"
    if [ "$trial" = no-trial ]; then
        check_project_file "$dir" "$codepage" 2>"$log" || result=1
    else
        check_project_file "$dir" "$codepage" 2>"$log" || true
        trial_run "$scr" "$name" "$codepage" "$dir" 2>>"$log" || result=$?
    fi
    sed "s/^/$tool: /" "$log" >&2
    rm -f "$log"
    return "$result"
}

# trial_run SCR NAME CODEPAGE DIR: runs SCR, packed for NAME in CODEPAGE, with
# DIR registered as its install directory. Returns 0 when the saver showed its
# window and ran without a box, and no line of the engine's debugger output
# names a fault (trial_faults); otherwise prints the viewer's box and the
# engine's words on the standard error and returns 1 (2 when the trial cannot
# run here).
trial_run() (
    local scr=$1 name=$2 codepage=$3 dir=$4 tool template scratch
    for tool in wine wineserver Xvfb xdotool perl; do
        command -v "$tool" >/dev/null ||
            { echo "the trial run needs $tool (scripts/setup installs it)" >&2; return 2; }
    done
    # Wine's ANSI code page follows the locale: 1252 in the one used here.
    if [ "$((10#$codepage))" != 1252 ] && (LC_ALL=C; [[ $name = *[!\ -~]* ]]); then
        echo "the trial run reads names in code page 1252 only, and '$name' is packed in code page $codepage" >&2
        return 2
    fi
    . "$(dirname "${BASH_SOURCE[0]}")/../wine-env"
    template="$(wine_template)" && [ -f "$template/system.reg" ] ||
        { echo "the trial run needs the template Wine prefix that scripts/setup boots" >&2; return 2; }
    scratch="$(mktemp -d /tmp/ormelix-trial.XXXXXX)"
    trap 'trial_end "$scratch"' EXIT
    trial_wine "$template" "$scratch"

    wine reg add "$saver_registry_base\\$name" /v DisplayName /t REG_SZ \
        /d "$(saver_winpath "$dir")" /f /reg:32 >/dev/null 2>&1
    wine "$ORMELIX_BIN/boxwatch.exe" $((trial_start_seconds + trial_run_seconds)) 1 >"$scratch/boxes" 2>/dev/null &
    local boxwatch=$!
    WINEDEBUG=-all,+debugstr wine "$scr" /s >/dev/null 2>"$scratch/debug.log" &
    local saver=$! shown="" deadline=$((SECONDS + trial_start_seconds))
    while kill -0 "$boxwatch" 2>/dev/null && kill -0 "$saver" 2>/dev/null; do
        if [ -z "$shown" ]; then
            xdotool search --onlyvisible --name '^Screen Saver$' >/dev/null 2>&1 &&
                shown=$((SECONDS + trial_run_seconds))
            [ $SECONDS -lt $deadline ] || break
        elif [ $SECONDS -ge "$shown" ]; then
            break
        fi
        sleep 0.1
    done
    local box engine
    box="$(tr -d '\r' <"$scratch/boxes")"
    # Wine shows each OutputDebugStringA as a C string, in the code page.
    engine="$(perl -ne 'next unless s/^.*OutputDebugStringA "//; s/"\s*$//;
        s/\\(x([0-9a-fA-F]{2})|n|r|t|\\|")/$2 ? chr(hex $2) : $1 eq "n" ? "\n" : $1 eq "r" || $1 eq "t" ? " " : $1/ge;
        print' "$scratch/debug.log" | iconv -f "CP$codepage" -t UTF-8 -c | sed '/^$/d' | trial_distinct)"
    if [ -z "$box" ] && [ -n "$shown" ] && kill -0 "$saver" 2>/dev/null && ! trial_faults <<<"$engine"; then
        [ -z "$engine" ] || { echo "the engine's debugger output, naming no fault:"; sed 's/^/  /' <<<"$engine"; } >&2
        return 0
    fi
    if [ -n "$box" ]; then
        trial_box "$box"
    elif [ -z "$shown" ]; then
        echo "the saver showed no window within $trial_start_seconds s" >&2
    elif ! kill -0 "$saver" 2>/dev/null; then
        echo "the saver ended by itself while it should have been running" >&2
    else
        echo "the saver started, but the engine's debugger output names a fault" >&2
    fi
    if [ -n "$engine" ]; then
        echo "the engine's debugger output:" >&2
        sed 's/^/  /' <<<"$engine" >&2
    else
        echo "the engine wrote nothing to its debugger output" >&2
    fi
    return 1
)

# trial_distinct: the lines of the standard input once each, in their order,
# with how often each came.
trial_distinct() {
    awk '{ if (!count[$0]++) order[++lines] = $0 }
         END { for (i = 1; i <= lines; i++) print order[i] (count[order[i]] > 1 ? "  (" count[order[i]] " times)" : "") }'
}

# trial_faults: whether a line of the standard input, the engine's debugger
# output, names a fault. Engines and plug-ins also write what goes well there
# (the drive-letter plug-in its drives, on every frame); the stand-in's faults
# read "line 1: unknown scene", "cannot be read", "could not be loaded".
trial_faults() { grep -qiE 'error|fail|cannot|can.t|could not|not found|not loaded|unknown|missing|invalid'; }

# trial_box LINE: boxwatch's line "caption|text|icon" as the author reads it,
# with what the box means.
trial_box() {
    local caption=${1%%|*} text=${1#*|}
    text=${text%|*}
    echo "the viewer showed the box \"$caption\": ${text//\\r\\n/ }" >&2
    case "$caption|$text" in
        "Engine init error|") echo "  (no registry entry the viewer could open for the name)" >&2 ;;
        "Engine init error|"*) echo "  (drovik.dll in that directory cannot be loaded: no 32-bit Windows library, or one it links is missing)" >&2 ;;
        "Ormelix Screen Saver Viewer|"*) echo "  (the engine refused the project)" >&2 ;;
    esac
}

# trial_wine TEMPLATE SCRATCH: a prefix copied from TEMPLATE and an Xvfb
# display, both in SCRATCH. The system libraries, which nothing writes, are
# linked rather than copied where the file system allows: copied, they cost
# seconds.
trial_wine() {
    local template=$1 scratch=$2 system
    mkdir -p "$scratch/prefix/drive_c/windows"
    (cd "$template" && find . -mindepth 1 -maxdepth 3 ! -path ./drive_c ! -path ./drive_c/windows \
        ! -path ./drive_c/windows/system32 ! -path ./drive_c/windows/syswow64 -prune \
        -exec cp -a --parents {} "$scratch/prefix/" \;)
    for system in system32 syswow64; do
        [ -d "$template/drive_c/windows/$system" ] || continue
        cp -al "$template/drive_c/windows/$system" "$scratch/prefix/drive_c/windows/" 2>/dev/null ||
            cp -a "$template/drive_c/windows/$system" "$scratch/prefix/drive_c/windows/"
    done
    export WINEPREFIX="$scratch/prefix" LC_ALL=C.UTF-8
    display_start "$scratch"
    wineserver -p >/dev/null 2>&1
}

# trial_end SCRATCH: stops the prefix's processes and the display, and
# removes SCRATCH.
trial_end() {
    WINEPREFIX="$1/prefix" wineserver -k >/dev/null 2>&1 || true
    [ -n "${DISPLAY_PID:-}" ] && kill "$DISPLAY_PID" 2>/dev/null
    wait 2>/dev/null
    rm -rf "$1"
}
