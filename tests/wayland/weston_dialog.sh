#!/usr/bin/env bash
# The options dialog under weston's headless back end, the compositor
# without layer-shell and without a seat: it opens, is drawn, and shows the
# stored states. (weston takes no input headless; sway's tests type and click.)
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

start_weston 1024x768
export GDK_BACKEND=wayland
# GTK and fontconfig keep memory to the end on purpose: a sanitizer build
# does not look for leaks in the dialog.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
printf '[Setting]\nColor=1\nHan=0\n' >"$XDG_CONFIG_HOME/OrbDial.ini"
start_client "$ORBIDIAL" /c
# weston centres the dialog; its separator is the one long grey line.
separator_shown() {
  shot=$(weston_shot dialog)
  (($(colour_count "$shot" '#C8C8C8') >= 290))
}
wait_for "the dialog on weston" 10 separator_shown
kill -0 "$CLIENT_PID" 2>/dev/null || fail "the dialog ended: $(cat "$WORK/client.err")"
echo "passed; screenshot in $shot"
