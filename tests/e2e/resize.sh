#!/usr/bin/env bash
# A window that changes size gets the face of its new size at once, every
# pixel of it: an xscreensaver host window (--window-id), a preview parent
# (/p), and the root itself (--root) when the screen is resized.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
small=$(reference small --at "$AT" --size 640x400)
large=$(reference large --at "$AT" --size 1000x700)

for form in --window-id /p; do
  start_parent 640 400
  printf -v hex '0x%x' "$PARENT"
  if [[ $form == /p ]]; then start_saver /p "$PARENT"; else start_saver --window-id "$hex"; fi
  shows "$small" 640x400+100+100
  xdotool windowsize "$PARENT" 1000 700
  # Grey would show wherever the new area was left unpainted.
  shows "$large" 1000x700+100+100
  xdotool windowsize "$PARENT" 640 400
  shows "$small" 640x400+100+100
  saver_running "$form resized"
  kill "$PARENT_PID"
  saver_exits_with 0
  [[ ! -s "$WORK/saver.err" ]] || fail "$form: saver wrote: $(cat "$WORK/saver.err")"
done

# The root resized under a hack drawing into it (xscreensaver's "reshape").
start_saver --root
shows "$(reference root --at "$AT" --size 1920x1080)" 1920x1080+0+0
# Xvfb's screen can only shrink; xrandr also complains that its one output
# no longer fits, after the screen has taken the new size.
xrandr --fb 1600x900 >/dev/null 2>&1 || true
[[ $(xdpyinfo | awk '/dimensions:/ {print $2}') == 1600x900 ]] || fail "the screen was not resized"
shows "$(reference root-resized --at "$AT" --size 1600x900)" 1600x900+0+0
kill -TERM "$SAVER_PID"
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "--root: saver wrote: $(cat "$WORK/saver.err")"
echo "ok"
