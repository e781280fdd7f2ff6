#!/usr/bin/env bash
# The X11 saver through sway's XWayland, on two outputs: each shows the face
# of its own size as orbidial-render draws it; the saver and sway's X window
# manager do not trade the input focus (the three processes stay nearly
# idle); Escape ends it with 0. GDK_BACKEND=x11 keeps it on X11 under a
# compositor; a WAYLAND_DISPLAY that names no compositor falls back to the X
# display with one line.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

at="2026-12-09 10:08:30"
start_sway --xwayland
[[ $DISPLAY == :0 || $(id -u) != 0 ]] || fail "XWayland took $DISPLAY in a /tmp of its own"
add_output
second=$NEW_OUTPUT
set_output HEADLESS-1 1280x720 0 0
set_output "$second" 1024x768 1280 0
export ORBIDIAL_TEST_TIME=$at
GDK_BACKEND=x11 start_client "$ORBIDIAL"
want_first=$(reference first --at "$at" --size 1280x720)
want_second=$(reference second --at "$at" --size 1024x768)
faces_shown() {
  # The pointer moves onto the windows, which hide it.
  swaycmd seat seat0 cursor set 640 360
  park_pointer
  got_first=$(output_shot HEADLESS-1 first)
  got_second=$(output_shot "$second" second)
  [[ $(pixels_differing "$got_first" "$want_first") == 0 &&
     $(pixels_differing "$got_second" "$want_second") == 0 ]]
}
wait_for "the faces on both outputs" 10 faces_shown
xwininfo -root -tree | grep -q '"Orbidial"' || fail "the saver has no X windows: it is not on XWayland"

# sway's X window manager hands the focus back to the window it thinks
# focused whenever an X client takes it: a saver that took it back each time
# made the two trade it thousands of times a second.
ticks() {
  local pid total=0 stat
  for pid in "$@"; do
    read -r -a stat <"/proc/$pid/stat"
    total=$((total + stat[13] + stat[14]))
  done
  echo "$total"
}
xwayland_pid=$(pgrep -n -x Xwayland)
busy=("$COMPOSITOR_PID" "$xwayland_pid" "$CLIENT_PID")
ticks_before=$(ticks "${busy[@]}")
sleep 3
used=$(($(ticks "${busy[@]}") - ticks_before))
echo "in 3 s: sway, Xwayland and the saver used $used ticks together"
((used * 100 < $(getconf CLK_TCK) * 3 * 15)) || fail "sway, Xwayland and the saver used $used ticks in 3 s"

# A just-mapped X window may not have the keyboard yet.
keys -s 300 -k Escape
client_exits_with 0
xwininfo -root -tree | grep -q '"Orbidial"' && fail "the X11 saver's windows stayed"

echo "no compositor where WAYLAND_DISPLAY says: the X display, with one line"
WAYLAND_DISPLAY=wayland-gone start_client "$ORBIDIAL"
wait_for "the X11 saver's windows" 10 sh -c "xwininfo -root -tree | grep -q '\"Orbidial\"'"
wait_for "the faces on both outputs" 10 faces_shown
keys -s 300 -k Escape
client_exits_with 0
[[ $(cat "$WORK/client.err") == "orbidial: cannot connect to the Wayland compositor \"wayland-gone\"; using the X display \"$DISPLAY\"" ]] ||
  fail "stderr: $(cat "$WORK/client.err")"
echo "passed; screenshots in $got_first and $got_second"
