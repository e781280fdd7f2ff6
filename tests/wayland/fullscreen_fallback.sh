#!/usr/bin/env bash
# The native saver where the compositor has no layer-shell (GNOME, weston):
# a fullscreen window on each output. Under weston's headless back end, which
# has no seat and so takes no input, the face fills its output and SIGTERM
# ends it; under sway, told to take the same way, the keys and buttons act
# on it as on the overlay surfaces, at scales 2 and 1.5 it shows the face
# of the output's pixels, and a compositor that keeps its shortcuts is said
# to in one line.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

at="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$at

echo "weston: the face fills its output"
start_weston 1024x768 --gl
start_client "$ORBIDIAL"
face_filled() {
  shot=$(weston_shot face)
  [[ $(pixels_differing "$shot" "$want") == 0 ]]
}
want=$(reference face --at "$at" --size 1024x768)
wait_for "the face on weston" 10 face_filled
kill -TERM "$CLIENT_PID"
client_exits_with 0
# GTK itself complains of weston's missing seat; gtk-layer-shell must not
# be asked where layer-shell is missing.
grep -q -i "layer shell" "$WORK/client.err" && fail "stderr: $(cat "$WORK/client.err")"
kill "$COMPOSITOR_PID"
wait "$COMPOSITOR_PID" 2>/dev/null || true
COMPOSITOR_PID=

echo "sway, fullscreen windows: a face on each output; the right button; a click ends it"
# Told to keep its shortcuts, sway answers the saver's request with
# silence, as GNOME answers a Deny: the saver says so in one line.
SWAY_CONFIG_EXTRA="seat * shortcuts_inhibitor disable" start_sway
add_output
second=$NEW_OUTPUT
set_output HEADLESS-1 1280x720 0 0
set_output "$second" 1024x768 1280 0
ORBIDIAL_TEST_NO_LAYER_SHELL=1 start_client "$ORBIDIAL"
shows "$(reference first --at "$at" --size 1280x720)" HEADLESS-1
shows "$(reference second --at "$at" --size 1024x768)" "$second"
shell=$(swaymsg -t get_tree -r | jq -r '[.. | objects | select(.app_id? == "orbidial")
  | "\(.shell) \(.fullscreen_mode)"] | unique | join(",")')
[[ $shell == "xdg_shell 1" ]] || fail "the saver's windows: $shell, not fullscreen xdg_shell ones"
click 1500 300 button3
shows "$(reference style2 --at "$at" --size 1280x720 --style 2)" HEADLESS-1
# A fullscreen window at scale 2 and at 1.5: the face of the output's pixels.
set_output HEADLESS-1 1280x720 0 0 2
shows "$(reference style2 --at "$at" --size 1280x720 --style 2)" HEADLESS-1
set_output "$second" 1536x1152 1280 0 1.5
shows "$(reference mode --at "$at" --size 1536x1152 --style 2)" "$second"
keys -s 300 -M ctrl -k Escape -m ctrl
sleep 0.3
kill -0 "$CLIENT_PID" 2>/dev/null || fail "Ctrl+Esc ended the saver"
wait_for "the line on the shortcuts kept" 5 grep -q "^orbidial: the compositor keeps its shortcuts" "$WORK/client.err"
click 640 360 button1
client_exits_with 0
[[ $(cat "$WORK/client.err") == "orbidial: the compositor keeps its shortcuts"* &&
  $(wc -l <"$WORK/client.err") == 1 ]] || fail "stderr: $(cat "$WORK/client.err")"
echo "passed"
