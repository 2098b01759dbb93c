#!/bin/bash
# The demo saver as a user gets it, end to end under Wine: installed with the
# plug-in in its channels directory only, started full screen with /s, it
# loads the drive-letter channel through the viewer's search path and shows
# the drives that Wine itself reports; a real key press ends it.
. "$ORMELIX_SOURCE/tests/support/e2e.sh"
. "$ORMELIX_SOURCE/scripts/lib/saver-install.sh"
. "$ORMELIX_SOURCE/tests/enginehost/trace.sh"

name="Drive Demo"
on_exit "saver_uninstall '$name'"

# wine_drives: the drives Wine's command shell sees, in the channel's form
# ("C;Z;"); this asks the file system, not the logical-drive mask.
wine_drives() {
    wine cmd /c 'for %d in (A B C D E F G H I J K L M N O P Q R S T U V W X Y Z) do @if exist %d:\nul echo %d' \
        2>/dev/null | tr -d '\r' | awk 'NF { printf "%s;", $1 }'
}

saver_install_copy "$E2E_DIR" "$name" "$ORMELIX_SOURCE/demo"
[ -f "$SAVER_INSTALL/channels/$saver_plugin" ] || fail "the plug-in is not in the channels directory"
[ ! -e "$(dirname "$SAVER_SCR")/$saver_plugin" ] || fail "a plug-in beside the saver would hide the search path"

# A drive link made while Wine runs is not seen by the running Wine, so the
# prefix's own drives are the expectation (C: and Z: in a fresh prefix).
drives="$(wine_drives)"
case "$drives" in *C\;*) ;; *) fail "Wine reports no drive C: ([$drives])" ;; esac

start_traced "$SAVER_SCR" /s
wait_window "Screen Saver" 20
wait_frames 4

check "the plug-in loaded from the channels directory" \
    '3B1E6C52-8A47-4D90-B2F3-5C81A7E04D26 "Win32 GetDriveLetter"' \
    "$(trace_ops | sed -n 's/^LoadPluginChannel //p')"
# Every frame asks the channel for its text (CallChannel, then GetString) and
# each ask reports the drive text it stores and the demo draws.
messages="$(trace_ops | grep '^ShowDebugMessage ' || true)"
[ "$(grep -c . <<<"$messages")" -ge 2 ] || fail "fewer than two drive messages: [$messages]"
check "every drive message carries the drives Wine reports" \
    "ShowDebugMessage Driver Letters : $drives" "$(sort -u <<<"$messages")"

xdotool key space
wait_exit "$WINE_PID" 20
check "a key ends the demo: exit code" 0 "$EXIT_CODE"
check "the engine is destroyed last" "Destroy 1" "$(trace_calls | tail -n1)"
