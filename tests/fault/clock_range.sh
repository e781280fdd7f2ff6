#!/usr/bin/env bash
# The saver's own clock (time() through the fault library, nothing frozen by
# the program) at the far ends: years 9999 and 10000 draw the faces the
# renderer draws for them, and an instant the local-time conversion cannot
# take (beyond 2^31 years, either way) leaves the window black while the
# saver keeps running and still ends on Escape.
# E2E_FAULT_PRELOAD: the fault library.
source "$(dirname "$0")/../e2e/lib.sh"
unset ORBIDIAL_TEST_TIME
export TZ=UTC
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0

with_clock() {
  rm -f "$WORK/count"
  ORBIDIAL_FAULT_TIME=$1 ORBIDIAL_FAULT_COUNT=$WORK/count LD_PRELOAD=$E2E_FAULT_PRELOAD start_saver
}
# clock_read N: the saver has read its clock N times at least.
clock_read() { (($(grep -cx time "$WORK/count" 2>/dev/null || true) >= $1)); }

for case in "253402300799 9999-12-31 23:59:59" "253402300800 10000-01-01 00:00:00"; do
  read -r seconds day time <<<"$case"
  with_clock "$seconds"
  shows "$(reference "year-${day%%-*}" --at "$day $time")"
  xdotool key Escape
  saver_exits_with 0
done

for seconds in 100000000000000000 -100000000000000000; do
  with_clock "$seconds"
  # A frame or three tried at that clock.
  wait_for "the saver's frames" "$E2E_WAIT" clock_read 4
  saver_running "a clock beyond local time"
  find_window "$E2E_WAIT" --name "^Orbidial$" >/dev/null || fail "no saver window"
  lit=$("$XPROBE" nonblack 0 0 1920 1080)
  ((lit == 0)) || fail "$lit pixels lit for the clock at $seconds s"
  xdotool key Escape
  saver_exits_with 0
  [[ ! -s "$WORK/saver.err" ]] || fail "the saver wrote: $(cat "$WORK/saver.err")"
done
echo "ok"
