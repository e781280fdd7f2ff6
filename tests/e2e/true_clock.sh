#!/usr/bin/env bash
# The running clock: the second ring changes once a second, just after each
# whole second of the wall clock, with no second skipped or shown twice; a
# step of the clock (set back, set forward) shows on the next frame and the
# seconds then run on.
source "$(dirname "$0")/lib.sh"

# The current label of the second ring at 1920x1080 (style 1), right of the
# centre on the horizontal line.
SECOND_BOX=(1400 512 110 50)

faketime_lib=$(find /usr/lib -path '*faketime/libfaketime.so.1' | head -n 1)
[[ -n "$faketime_lib" ]] || fail "libfaketime is not installed"
# Only the wall clock is ever faked. File times stay real (NO_FAKE_STAT), or
# every file fontconfig looks at would read the clock file again. (A
# sanitizer build wants its runtime loaded first; libfaketime goes before it
# here, which is harmless.)
export FAKETIME_DONT_FAKE_MONOTONIC=1 NO_FAKE_STAT=1
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0

# The wall clock the saver and the watcher see is put half a second out of
# step with the monotonic clock, whatever the machine's two clocks are: a
# tick timed by the wrong one comes half a second late.
offset=$(python3 -c 'import time
print("%.3f" % ((0.5 - time.clock_gettime(time.CLOCK_REALTIME) + time.clock_gettime(time.CLOCK_MONOTONIC)) % 1))')
echo "the wall clock $offset s on"
LD_PRELOAD=$faketime_lib FAKETIME=+$offset start_saver
wait_first_frame 960 500 960 80
LD_PRELOAD=$faketime_lib FAKETIME=+$offset "$XPROBE" changes "${SECOND_BOX[@]}" 20 >"$WORK/changes"
summary=$(tail -n 1 "$WORK/changes")
echo "$summary"
read -r _ _ changes _ _ _ skipped _ repeated _ <<<"$summary"
(( skipped == 0 )) || fail "$skipped seconds never shown: $summary"
(( repeated == 0 )) || fail "$repeated seconds shown twice: $summary"
(( changes >= 19 )) || fail "only $changes changes in 20 s: $summary"
# Each change just after its second, not half a second on as a tick timed
# by the monotonic clock: the middle one within a quarter of a second. (A
# loaded machine delays frames by a tenth or two; the strict figures are
# bench/measure_ticks.sh's.)
median=$(awk '{ print int($11) }' <<<"$summary")
(( median < 250 )) || fail "the changes came ${median} ms after the second: $(cat "$WORK/changes")"
xdotool key Escape
saver_exits_with 0

# A clock set back and forward while the saver runs (libfaketime, reading
# its time from a file the test rewrites).
clock=$WORK/clock
echo "2026-12-09 10:08:30" >"$clock"
LD_PRELOAD=$faketime_lib FAKETIME_TIMESTAMP_FILE=$clock FAKETIME_NO_CACHE=1 start_saver
shows "$(reference start --at "2026-12-09 10:08:30")"
# Each step shows on the next frame (how soon is bench/measure_ticks.sh's to
# tell; a loaded machine may take seconds).
echo "2026-12-09 09:08:30" >"$clock"   # an hour back
shows "$(reference back --at "2026-12-09 09:08:30")"
echo "2026-12-10 11:08:30" >"$clock"   # a day and two hours on: Thursday's theme
forward=$(reference forward --at "2026-12-10 11:08:30" --theme 3)
shows "$forward"
echo "+0" >"$clock"                     # the real clock again, running
# The jump back to the real time is one frame, not a skipped second: the
# count starts after it.
real_time_shown() { [[ $(take_picture "$WORK/now.png" "" && pixels_differing "$WORK/now.png" "$forward") != 0 ]]; }
wait_for "the real time on the screen" "$E2E_WAIT" real_time_shown
"$XPROBE" changes "${SECOND_BOX[@]}" 5 >"$WORK/changes"
summary=$(tail -n 1 "$WORK/changes")
read -r _ _ changes _ _ _ skipped _ repeated _ <<<"$summary"
(( skipped == 0 && repeated == 0 && changes >= 4 )) || fail "after the steps: $summary"
xdotool key Escape
saver_exits_with 0
echo "ok"
