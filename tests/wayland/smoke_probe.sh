#!/usr/bin/env bash
source "$(dirname "$0")/lib.sh"
echo "pid $$ tmp: $(ls -a /tmp | tr '\n' ' ')"
start_sway --xwayland
echo "WAYLAND_DISPLAY=$WAYLAND_DISPLAY DISPLAY=$DISPLAY"
out2=$(add_output)
echo "new output: $out2"
set_output HEADLESS-1 1280x720 0 0
set_output "$out2" 1024x768 1280 0 2
swaymsg -t get_outputs -r | jq -c '.[] | [.name, .rect, .scale, .current_mode.width]'
output_shot "$out2" o2
swaymsg -t get_seats -r | jq -c '.[0].capabilities'
xdpyinfo | grep -E 'dimensions|name of display'
ps -eo pid,user,cmd
