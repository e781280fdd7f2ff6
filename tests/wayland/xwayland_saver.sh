#!/usr/bin/env bash
# The X11 saver through sway's XWayland, on two outputs: each shows the face
# of its own size as orbidial-render draws it; the saver and sway's X window
# manager do not trade the input focus (the three processes stay nearly
# idle); Escape ends it with 0.
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
start_client "$ORBIDIAL"
want_first=$(reference first --at "$at" --size 1280x720)
want_second=$(reference second --at "$at" --size 1024x768)
faces_shown() {
  # The pointer moves onto the windows, which hide it.
  swaycmd seat seat0 cursor set 640 360
  park_pointer
  got_first=$(output_shot HEADLESS-1 first)
  got_second=$(output_shot "$second" second)
  [[ $(compare -metric AE "$got_first" "$want_first" null: 2>&1) == 0 &&
     $(compare -metric AE "$got_second" "$want_second" null: 2>&1) == 0 ]]
}
wait_for "the faces on both outputs" 10 faces_shown

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
echo "passed; screenshots in $got_first and $got_second"
