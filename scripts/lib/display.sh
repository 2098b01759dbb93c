# Sourced by tests/support/winenv, scripts/demo and the trial run of
# scripts/package and scripts/check-saver: a private X display for
# Wine, either Xvfb with one screen or, for a layout of several monitors,
# Xorg with the dummy video driver (Xvfb cannot show Wine two monitors).
#
# A layout is a comma-separated list of monitors as Windows places them,
# the primary first: WxH, then for the others their offset from the
# primary's top-left corner, +X+Y with either sign ("1024x768,800x600-800+0"
# is a second monitor left of the primary).

# display_start DIR [LAYOUT]: starts the display (its files in DIR) and
# exports DISPLAY; its pid is in DISPLAY_PID. Without a layout: Xvfb at
# ORMELIX_SCREEN (1024x768x24 unless set).
display_start() {
    local dir=$1 layout=${2:-}
    if [ -z "$layout" ]; then
        # Xvfb picks a free display number itself and writes it to fd 3.
        Xvfb -displayfd 3 -screen 0 "${ORMELIX_SCREEN:-1024x768x24}" -nolisten tcp \
            3>"$dir/display" >"$dir/xvfb.log" 2>&1 &
        DISPLAY_PID=$!
    else
        display_check_layout "$layout" || return 2
        display_xorg_config >"$dir/xorg.conf"
        Xorg -displayfd 3 -config "$dir/xorg.conf" -logfile "$dir/xorg.log" -noreset \
            -nolisten tcp -novtswitch -sharevts -keeptty 3>"$dir/display" >"$dir/xorg.out" 2>&1 &
        DISPLAY_PID=$!
    fi
    for _ in $(seq 100); do
        [ -s "$dir/display" ] && break
        sleep 0.05
    done
    export DISPLAY=":$(head -n1 "$dir/display")"
    for _ in $(seq 100); do
        xdpyinfo >/dev/null 2>&1 && break
        sleep 0.05
    done
    [ -z "$layout" ] || display_set_layout "$layout"
}

# display_check_layout LAYOUT: fails with a message unless LAYOUT is one.
display_check_layout() {
    local monitor first=yes
    for monitor in ${1//,/ }; do
        if [ $first = yes ]; then
            [[ $monitor =~ ^[0-9]+x[0-9]+$ ]] ||
                { echo "display: the primary monitor is WxH, not '$monitor'" >&2; return 1; }
            first=no
        else
            [[ $monitor =~ ^[0-9]+x[0-9]+[+-][0-9]+[+-][0-9]+$ ]] ||
                { echo "display: a further monitor is WxH+X+Y (either sign), not '$monitor'" >&2; return 1; }
        fi
    done
    [ $first = no ] || { echo "display: an empty layout" >&2; return 1; }
}

# The dummy driver holds every layout up to 4096x2048 in one framebuffer,
# so screenshots of the root window show every monitor.
display_xorg_config() {
    cat <<'EOF'
Section "ServerFlags"
    Option "AutoAddDevices" "false"
    Option "AutoAddGPU" "false"
    Option "AutoBindGPU" "false"
    Option "DontVTSwitch" "true"
EndSection
Section "Device"
    Identifier "dummy"
    Driver "dummy"
    VideoRam 131072
EndSection
Section "Monitor"
    Identifier "monitor"
    HorizSync 5.0 - 1000.0
    VertRefresh 5.0 - 200.0
EndSection
Section "Screen"
    Identifier "screen"
    Device "dummy"
    Monitor "monitor"
    DefaultDepth 24
    SubSection "Display"
        Depth 24
        Virtual 4096 2048
    EndSubSection
EndSection
EOF
}

# display_set_layout LAYOUT: gives the outputs DUMMY0 (the primary),
# DUMMY1... the layout's sizes and places them; X positions are the
# Windows ones moved so that the leftmost and topmost monitor is at 0.
# Every monitor can also be changed to 800x600 and 1024x768, and one more
# output is connected but off (with those two sizes), so that a Windows
# program can switch a monitor on. The driver's own modes are used where
# they exist: Wine sees only DUMMY0 when it runs a mode made by --newmode.
display_set_layout() {
    local -a sizes xs ys
    local monitor size w h i minX=0 minY=0 args=()
    for monitor in ${1//,/ }; do
        size=${monitor%%[+-]*}
        sizes+=("$size")
        if [ "$size" = "$monitor" ]; then
            xs+=(0) ys+=(0)
        else
            [[ ${monitor#"$size"} =~ ^([+-][0-9]+)([+-][0-9]+)$ ]]
            xs+=($((BASH_REMATCH[1]))) ys+=($((BASH_REMATCH[2])))
        fi
    done
    for i in "${!sizes[@]}"; do
        [ "${xs[i]}" -lt $minX ] && minX=${xs[i]}
        [ "${ys[i]}" -lt $minY ] && minY=${ys[i]}
    done
    for size in $(printf '%s\n' "${sizes[@]}" 800x600 1024x768 | sort -u); do
        if ! xrandr | grep -q "^   $size "; then
            w=${size%x*} h=${size#*x}
            # A 60 Hz mode with short blanking: the dummy driver takes any timing.
            xrandr --newmode "$size" $(((w + 160) * (h + 30) * 60 / 1000))e-3 \
                "$w" $((w + 48)) $((w + 80)) $((w + 160)) "$h" $((h + 3)) $((h + 7)) $((h + 30))
        fi
        for i in $(seq ${#sizes[@]}); do xrandr --addmode "DUMMY$i" "$size"; done
    done
    # An output stays connected once it had a mode.
    xrandr --output "DUMMY${#sizes[@]}" --mode 800x600 --pos 0x0
    xrandr --output "DUMMY${#sizes[@]}" --off
    for i in "${!sizes[@]}"; do
        args+=(--output "DUMMY$i" --mode "${sizes[i]}" --pos "$((xs[i] - minX))x$((ys[i] - minY))")
    done
    xrandr "${args[@]}" --output DUMMY0 --primary
    # Wine reads the outputs without probing them: probe once more, so that
    # it sees the outputs connected above.
    xrandr >/dev/null
}
