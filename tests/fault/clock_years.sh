#!/usr/bin/env bash
# The renderer at the ends of the calendar, in every style, as a PNG and as
# drawing operations: 1970, 2000, 2038 (past the 32-bit end), 2100, 9999, and
# years of 5, 6 and 9 digits; a leap second given as :60, and one the time
# zone itself holds (right/UTC); then a system clock the local-time
# conversion cannot take, which is refused in one line. Under the sanitizer
# build any report fails the run.
# Usage: clock_years.sh ORBIDIAL_RENDER FAULT_PRELOAD
set -euo pipefail
render=$1 preload=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
export TZ=UTC

# draws ARGS...: both outputs of two successive frames, nothing on stderr.
draws() {
  "$render" "$@" --size 480x270 --frames 2 -o "$work/f.png" >/dev/null 2>"$work/err" ||
    fail "$* ended with $?: $(cat "$work/err")"
  [[ -s $work/f.png ]] || fail "$*: no PNG"
  "$render" "$@" --size 480x270 --frames 2 --calls >"$work/calls" 2>"$work/err" || fail "$* --calls: $(cat "$work/err")"
  [[ ! -s $work/err ]] || fail "$*: $(cat "$work/err")"
}

for at in "1970-01-01 00:00:00" "2000-02-29 23:59:59" "2038-01-19 03:14:07" "2038-01-19 03:14:08" \
          "2100-02-28 23:59:59" "9999-12-31 23:59:59" "10000-01-01 00:00:00" "99999-12-31 23:59:59" \
          "999999-06-15 12:00:00" "999999999-12-31 23:59:59" "1-01-01 00:00:00" "2016-12-31 23:59:60"; do
  for style in 0 1 2; do
    draws --at "$at" --style "$style"
  done
  # Arabic digits: the year as given, and each frame lit.
  "$render" --at "$at" --style 0 --size 480x270 --calls >"$work/calls"
  year=${at%%-*}
  grep -q "^text .* $((10#$year)) *年" "$work/calls" || fail "$at: no year $year in the frame"
done
# The year rolls over to ten digits in the second frame.
"$render" --at "999999999-12-31 23:59:59" --style 0 --frames 2 --calls --size 480x270 >"$work/calls"
grep -q "^text .* 1000000000 *年" "$work/calls" || fail "no year 1000000000 after 999999999"

# The zone's own leap second: 23:59:59, 23:59:60, then the new year (where
# tzdata still ships the leap-second zones).
if [[ -e /usr/share/zoneinfo/right/UTC ]]; then
  TZ=right/UTC "$render" --at "2016-12-31 23:59:59" --style 0 --frames 3 --calls --size 480x270 >"$work/calls"
  grep -c "^text .* 2017 *年" "$work/calls" | grep -qx 1 || fail "right/UTC: not one frame of 2017"
  TZ=right/UTC draws --at "2016-12-31 23:59:59" --style 1
fi

# A system clock beyond what local time can hold, both ways.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
for seconds in 100000000000000000 -100000000000000000; do
  status=0
  ORBIDIAL_FAULT_TIME=$seconds LD_PRELOAD=$preload "$render" -o "$work/x.png" >/dev/null 2>"$work/err" || status=$?
  [[ $status == 2 ]] || fail "clock at $seconds s: status $status: $(cat "$work/err")"
  if [[ $(wc -l <"$work/err") != 1 ]] || ! grep -q "cannot be read as local time" "$work/err"; then
    fail "clock at $seconds s: $(cat "$work/err")"
  fi
done
echo "ok"
