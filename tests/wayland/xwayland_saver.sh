#!/usr/bin/env bash
# The X11 saver through sway's XWayland: its face covers the output as
# orbidial-render draws it, and Escape ends it with 0.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

at="2026-12-09 10:08:30"
start_sway --xwayland
[[ $DISPLAY == :0 || $(id -u) != 0 ]] || fail "XWayland took $DISPLAY in a /tmp of its own"
export ORBIDIAL_TEST_TIME=$at
start_client "$ORBIDIAL"
want=$(reference face --at "$at" --size 1280x720)
face_shown() {
  # The pointer moves onto the window, which hides it.
  swaycmd seat seat0 cursor set 640 360
  park_pointer
  got=$(output_shot HEADLESS-1 face)
  [[ $(compare -metric AE "$got" "$want" null: 2>&1) == 0 ]]
}
wait_for "the face on HEADLESS-1" 10 face_shown
# A just-mapped X window may not have the keyboard yet.
keys -s 300 -k Escape
client_exits_with 0
echo "passed; screenshot in $got"
