#!/usr/bin/env bash
# Frame after frame, the screen equals the renderer's drawing of that
# instant from scratch, while the clock runs through a minute, an hour and
# midnight, the style and the theme change and the window is uncovered
# again: the saver clears and shows only what changed, and nothing of an
# earlier frame stays behind. The clock is stepped through a file that
# libfaketime reads. Run by CTest on a 24-bit screen (the face drawn straight
# into the shared image) and a 16-bit one (converted on the way, compared
# within the 16-bit rounding).
source "$(dirname "$0")/lib.sh"

[[ ${E2E_DEPTH:-24} == 24 ]] || export SHOWS_FUZZ=4%
faketime_lib=$(find /usr/lib -path '*faketime/libfaketime.so.1' | head -n 1)
[[ -n "$faketime_lib" ]] || fail "libfaketime is not installed"
clock=$WORK/clock
style=1 theme=3   # no settings file: Chinese numerals; a Wednesday's theme
step=0

# at INSTANT: the clock stands at INSTANT; the screen must come to show it.
at() {
  local expected
  step=$((step + 1))
  expected=$(reference "$step" --at "$1" --style "$style" --theme "$theme")
  echo "$1" >"$clock"
  shows "$expected"
}

echo "2026-12-09 10:59:58" >"$clock"
# File times stay real (NO_FAKE_STAT), or every file fontconfig looks at
# would read the clock file again; a sanitizer build lets libfaketime load
# before its runtime.
ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0 \
  LD_PRELOAD=$faketime_lib FAKETIME_TIMESTAMP_FILE=$clock FAKETIME_NO_CACHE=1 \
  FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1 start_saver
wait_first_frame 0 0 1920 1080
at "2026-12-09 10:59:59"
at "2026-12-09 11:00:00"
xdotool click 3   # formal numerals
style=2
at "2026-12-09 11:00:01"
xdotool click 4 click 3   # the next theme, Arabic digits
theme=4 style=0
at "2026-12-09 11:00:02"
# Another window over the face, then gone: the uncovered part comes back.
# (The server has mapped and painted it before start_parent returns.)
start_parent 600 400
kill "$PARENT_PID"
at "2026-12-09 11:00:03"
xdotool click 3   # Chinese numerals again, through midnight
style=1
at "2026-12-09 23:59:59"
at "2026-12-10 00:00:00"
xdotool key Escape
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"
echo "ok"
