#!/bin/bash
# The packed viewer with the stand-in engine on displays of several monitors,
# one table row per display, each in a Wine prefix and an Xorg display of its
# own (tests/support/winenv --monitors): the full-screen window covers exactly
# the virtual screen Windows reports and the engine paints every monitor; a
# 3-pixel move leaves it running, and the row's closing input (a key or a
# 5-pixel move) ends it. Rows with a change apply it while the saver runs
# the way Windows programs do (ChangeDisplaySettingsEx): the window covers the
# new virtual screen within a second, the engine sees the new size, frames go
# on and the change closes nothing. The row at 144 DPI also checks that the
# settings dialog is whole.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"

# name | layout (Windows coordinates, primary first) | DPI | cursor at start |
# virtual screen | monitors | change | virtual screen after it | closing input
rows=(
    "second left|1024x768,800x600-800+0|96|-400,300|-800,0,1824x768|2|||key"
    "second above|1024x768,800x600+0-600|96|500,-300|0,-600,1024x1368|2|||move"
    "different sizes|800x600,1280x1024+800-200|96|1400,700|0,-200,2080x1024|2|||key"
    "three monitors|1024x768,800x600-800+0,640x480+1024+0|96|1300,200|-800,0,2464x768|3|||move"
    "primary smaller|1024x768,800x600-800+0|96|-500,300|-800,0,1824x768|2|\\\\.\\DISPLAY1=800x600|-800,0,1600x600|move"
    "primary bigger|800x600,800x600-800+0|96|400,300|-800,0,1600x600|2|\\\\.\\DISPLAY1=1024x768|-800,0,1824x768|key"
    "monitor added left|1024x768|96|500,300|0,0,1024x768|1|\\\\.\\DISPLAY2=800x600-800+0|-800,0,1824x768|move"
    "144 DPI|1024x768|144|500,300|0,0,1024x768|1|||key"
)

if [ -z "${MONITORS_ROW:-}" ]; then
    for row in "${rows[@]}"; do
        IFS='|' read -r name layout dpi _ <<<"$row"
        echo "== $name: $layout at $dpi DPI"
        MONITORS_ROW="$row" "$ORMELIX_SOURCE/tests/support/winenv" --monitors "$layout" --dpi "$dpi" \
            bash "$0" || fail "row '$name'"
    done
    exit 0
fi

. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/enginehost/trace.sh"
IFS='|' read -r name layout dpi start screen monitors change after closing <<<"$MONITORS_ROW"
probe() { wine "$ORMELIX_BIN/saverprobe.exe" "$@" 2>/dev/null | tr -d '\r'; }
displays() { wine "$ORMELIX_BIN/displaymode.exe" list 2>/dev/null | tr -d '\r'; }
# window_rect: "X,Y,WxH" of the saver window, from one look.
window_rect() { probe describe "Screen Saver" | awk -F= '/^size=/ { s = $2 } /^position=/ { p = $2 } END { print p "," s }'; }
# Windows reads a layout a moment after the first process starts.
screen_is() { displays | grep -q "^monitors=$2 screen=$1 dpi=$dpi\$"; }
WAIT_SECONDS=10 wait_for "Windows reports no virtual screen $screen of $monitors monitors: $(displays | head -n1)" \
    screen_is "$screen" "$monitors"

# xy X,Y: a point in Windows coordinates as X places it (the virtual
# screen's top-left corner is the root window's origin).
xy() {
    local left=${2%%,*} rest=${2#*,}
    echo "$((${1%,*} - left)) $((${1#*,} - ${rest%%,*}))"
}

# painted X Y: whether the screenshot's pixel there is not black, the X
# root's colour and the saver window's own before the engine paints it.
painted() {
    [ "$(convert "$E2E_DIR/shot.png" -format "%[pixel:p{$1,$2}]" info:)" != "srgb(0,0,0)" ] &&
        echo yes || echo no
}

# covers_every_monitor SCREEN: the engine's picture at two corners of each
# monitor Windows reports.
covers_every_monitor() {
    local device size x y w h
    import -window root "$E2E_DIR/shot.png"
    while read -r device size _; do
        [[ $size =~ ^([0-9]+)x([0-9]+)([+-][0-9]+)([+-][0-9]+)$ ]] || continue
        w=${BASH_REMATCH[1]} h=${BASH_REMATCH[2]}
        read -r x y <<<"$(xy "$((BASH_REMATCH[3])),$((BASH_REMATCH[4]))" "$1")"
        check "$device painted at its top left" yes "$(painted $((x + 3)) $((y + 3)))"
        check "$device painted at its bottom right" yes "$(painted $((x + w - 4)) $((y + h - 4)))"
    done < <(displays | tail -n +2 | grep -v detached)
}

saver_install "$E2E_DIR" "Monitors Saver" "$ORMELIX_SOURCE/demo/demo.project" 20 0 0
on_exit "saver_uninstall 'Monitors Saver'"
xdotool mousemove $(xy "$start" "$screen")
start_traced "$SAVER_SCR" /s
wait_window "Screen Saver" 20
wait_frames 3
check "$name: the window is the virtual screen" "$screen" "$(window_rect)"
covers_every_monitor "$screen"

if [ -n "$change" ]; then
    frames=$(trace_calls | grep -c '^Frame')
    covered="$(wine "$ORMELIX_BIN/displaymode.exe" set "$change" 2>>"$E2E_DIR/wine.log" | tr -d '\r')" ||
        fail "$name: the display change was refused"
    check "$name: Windows reports the new virtual screen" "$after" \
        "$(displays | head -n1 | sed 's/^.* screen=\([^ ]*\) .*$/\1/')"
    check "$name: the window is the new virtual screen" "$after" "$(window_rect)"
    check "$name: it covered it within a second ($covered)" yes \
        "$([[ $covered =~ ^covered=[0-9]+$ ]] && [ "${covered#*=}" -le 1000 ] && echo yes || echo no)"
    size=${after##*,}
    wait_trace "^WindowMessage [^ ]* 0x0005 0x0 $(printf '0x%X' $((${size#*x} << 16 | ${size%x*})))\$"
    echo "ok: $name: the engine saw WM_SIZE $size"
    wait_frames $((frames + 10))
    echo "ok: $name: frames go on"
    kill -0 "$WINE_PID" 2>/dev/null || fail "$name: the display change closed the saver"
    covers_every_monitor "$after"
    screen=$after
fi

xdotool mousemove_relative -- 2 1
sleep 0.5
kill -0 "$WINE_PID" 2>/dev/null || fail "$name: a 3-pixel move closed the saver"
echo "ok: $name: a 3-pixel move leaves it running"
case "$closing" in
    key) xdotool key space ;;
    move) xdotool mousemove_relative -- -2 -1; xdotool mousemove_relative -- 3 2 ;;
esac
wait_exit "$WINE_PID" 20
check "$name: closed by a $closing, exit code" 0 "$EXIT_CODE"
check "$name: the last frame, then Destroy 1" "Frame|Destroy 1" "$(trace_calls | tail -n2 | paste -sd'|')"

if [ "$dpi" != 96 ]; then
    start_wine "$SAVER_SCR" /c
    wait_window "Ormelix Screensaver" 20
    check "$name: the settings dialog is whole" whole \
        "$(wine "$ORMELIX_BIN/dialogprobe.exe" fits 2>/dev/null | tr -d '\r')"
    xdotool key Return
    wait_exit "$WINE_PID" 20
fi
