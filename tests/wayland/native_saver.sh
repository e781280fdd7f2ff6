#!/usr/bin/env bash
# The saver as a native Wayland client of headless sway: a face on each of
# two outputs as orbidial-render draws it, over a panel and with the pointer
# on it; the compositor's shortcuts held back; the right button and the
# wheel acting on both outputs; an output turned to scale 2 still showing
# the face of its pixels; outputs resized, added, switched off and on again
# while it runs; at scale 1.5 and turned a quarter, the face of the output's
# mode; Escape ends it with 0 and the desktop is back.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

at="2026-12-09 10:08:30"
# A panel on the top layer (swaybar, red beside its workspace button), as
# desktops have them; and a shortcut of the compositor's own that leaves a
# trace when it runs.
SWAY_CONFIG_EXTRA="bindsym Mod4+Return exec touch $XDG_RUNTIME_DIR/shortcut-ran
bar {
  position top
  colors {
    background #ff0000
  }
}"
start_sway
add_output
second=$NEW_OUTPUT
set_output HEADLESS-1 1280x720 0 0
set_output "$second" 1024x768 1280 0

panel_shown() {
  local shot
  shot=$(output_shot HEADLESS-1 panel)
  (($(convert "$shot" -crop 1200x10+60+0 txt:- | grep -c '#FF0000') == 12000))
}
wait_for "the panel" 10 panel_shown
cursor_drawn() {
  local shot=$SHOTS/$TEST_NAME-cursor.png
  swaycmd seat seat0 cursor set 640 360
  grim -c -o HEADLESS-1 "$shot"
  (($(convert "$shot" -crop 40x40+630+350 txt:- | grep -c -v '#000000') > 20))
}
wait_for "sway's cursor in a shot (grim -c)" 5 cursor_drawn
shortcut_ran() { [[ -e $XDG_RUNTIME_DIR/shortcut-ran ]]; }
keys -M logo -k Return -m logo
wait_for "the shortcut without the saver" 5 shortcut_ran
rm -f "$XDG_RUNTIME_DIR/shortcut-ran"

echo "a face on each output, over the panel, the cursor hidden"
export ORBIDIAL_TEST_TIME=$at
# The session's choice: no GDK_BACKEND, only WAYLAND_DISPLAY. Its requests
# are logged, to count its shortcut inhibitors.
WAYLAND_DEBUG=client start_client "$ORBIDIAL"
first=$(reference first --at "$at" --size 1280x720)
shows "$first" HEADLESS-1
shows "$(reference second --at "$at" --size 1024x768)" "$second"
swaymsg -t get_tree -r | jq -e '[.. | objects | select(.app_id? == "orbidial")] | length == 0' >/dev/null ||
  fail "the saver made a window of the tiling layout, not a layer surface"

echo "the compositor's shortcuts and Ctrl+Esc, Alt+Esc, Alt+Tab stay with the saver"
keys -s 300 -M logo -k Return -m logo
keys -M ctrl -k Escape -m ctrl -M alt -k Escape -k Tab -m alt
sleep 0.5
shortcut_ran && fail "sway ran its shortcut under the saver"
# One inhibitor at a time, whatever the outputs: a compositor that asks
# its user asks once.
most=$(awk '/-> zwp_keyboard_shortcuts_inhibit_manager_v1@[0-9]+\.inhibit_shortcuts/ { n++ }
  /-> zwp_keyboard_shortcuts_inhibitor_v1@[0-9]+\.destroy/ { n-- }
  n > most { most = n } END { print most + 0 }' "$WORK/client.err")
((most == 1)) || fail "$most shortcut inhibitors at once"
kill -0 "$CLIENT_PID" 2>/dev/null || fail "Ctrl+Esc or Alt+Esc ended the saver"
# The keys the saver ignores change nothing.
shows "$first" HEADLESS-1 0

echo "the right button and the wheel, on either output, change both"
click 1500 300 button3
shows "$(reference style2-first --at "$at" --size 1280x720 --style 2)" HEADLESS-1
shows "$(reference style2-second --at "$at" --size 1024x768 --style 2)" "$second"
# Wheel up: from the weekday's theme (Wednesday, 3) to the next.
click 640 360 button4
shows "$(reference theme4-first --at "$at" --size 1280x720 --style 2 --theme 4)" HEADLESS-1
shows "$(reference theme4-second --at "$at" --size 1024x768 --style 2 --theme 4)" "$second"
# Pointer motion does nothing.
swaycmd seat seat0 cursor move 200 100
sleep 0.3
kill -0 "$CLIENT_PID" 2>/dev/null || fail "moving the pointer ended the saver"

echo "scale 2: the 1280x720 face in the output's pixels, not a doubled 640x360 one"
set_output HEADLESS-1 1280x720 0 0 2
shows "$(reference theme4-first --at "$at" --size 1280x720 --style 2 --theme 4)" HEADLESS-1

echo "outputs resized, added, switched off and on while it runs"
set_output "$second" 800x600 640 0
shows "$(reference small --at "$at" --size 800x600 --style 2 --theme 4)" "$second"
add_output
third=$NEW_OUTPUT
set_output "$third" 640x480 1440 0
shows "$(reference third --at "$at" --size 640x480 --style 2 --theme 4)" "$third"
swaycmd output "$third" disable
sleep 0.5
kill -0 "$CLIENT_PID" 2>/dev/null || fail "an output switched off ended the saver: $(cat "$WORK/client.err")"
shows "$(reference small --at "$at" --size 800x600 --style 2 --theme 4)" "$second"
swaycmd output "$third" enable
shows "$(reference third --at "$at" --size 640x480 --style 2 --theme 4)" "$third"

echo "scale 1.5, which sway 1.7 calls 2 to its clients: the face of the output's mode, pixel for pixel"
set_output HEADLESS-1 1920x1080 0 0 1.5
shows "$(reference mode-first --at "$at" --size 1920x1080 --style 2 --theme 4)" HEADLESS-1
# A mode turned a quarter: 1440x1080 stands as 1080x1440.
swaycmd output "$third" transform 90
set_output "$third" 1440x1080 1440 0 1.5
shows "$(reference turned --at "$at" --size 1080x1440 --style 2 --theme 4)" "$third"

echo "Escape ends it with 0; the panel is back"
keys -k Escape
client_exits_with 0
wait_for "the panel after the saver" 5 panel_shown
! grep -v '^\[' "$WORK/client.err" || fail "the saver wrote more than its log of requests"
echo "passed; shots in $SHOTS"
