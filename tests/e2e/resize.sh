#!/usr/bin/env bash
# A window that changes size gets the face of its new size at once, every
# pixel of it: an xscreensaver host window (--window-id), a preview parent
# (/p), and the root itself (--root) when the screen is resized. A size
# whose frame buffer cannot be had ends the saver with status 4 and a line
# that gives the size.
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
# The saver's address space held to what it uses, and 2 MiB more. (A
# sanitizer's runtime reserves its shadow as address space: no such limit
# there.)
if [[ $(ldd "$ORBIDIAL") != *libasan* ]]; then
  start_parent 640 400
  start_saver /p "$PARENT"
  shows "$small" 640x400+100+100
  used=$(awk '/^VmSize:/ {print $2}' "/proc/$SAVER_PID/status")
  prlimit --pid "$SAVER_PID" --as=$(((used + 2048) * 1024)) || fail "the saver's memory cannot be limited"
  xdotool windowsize "$PARENT" 1920 1080
  saver_exits_with 4
  [[ $(cat "$WORK/saver.err") == "orbidial: not enough memory for a frame buffer of 1920x1080 pixels (8 MiB)" ]] ||
    fail "a frame buffer out of reach: $(cat "$WORK/saver.err")"
  kill "$PARENT_PID"
fi
echo "ok"
