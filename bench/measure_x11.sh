#!/usr/bin/env bash
# Whole-process figures of the saver under Xvfb at 1920x1080, by hand (not
# part of the tests): time to the first frame on screen, average CPU and peak
# RSS over a run, and wake-ups (poll calls) per second.
#   bench/measure_x11.sh [SECONDS] [DISPLAY]     defaults: 60 :48
# Needs a build with the tests (for build/tests/e2e/xprobe), strace and
# /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
display=${2:-:48}
saver=$PWD/build/shell/orbidial
export ORBIDIAL_TEST_DATADIR=$PWD/build/share
probe=$PWD/build/tests/e2e/xprobe
work=$(mktemp -d)

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display
for _ in $(seq 100); do "$probe" nonblack 0 0 1 1 >/dev/null 2>&1 && break; sleep 0.05; done

echo "time to first frame (ms), five starts:"
for _ in 1 2 3 4 5; do
  read -r ms pid < <("$probe" first-frame 900 520 1000 40 -- "$saver")
  echo "  $ms"
  kill "$pid"
  while kill -0 "$pid" 2>/dev/null; do sleep 0.05; done
done

/usr/bin/time -v -o "$work/time" "$saver" &
timer=$!
sleep "$seconds"
pkill -TERM -P "$timer" -x orbidial
wait "$timer" || true
user=$(awk -F': ' '/User time/ {print $2}' "$work/time")
sys=$(awk -F': ' '/System time/ {print $2}' "$work/time")
rss=$(awk -F': ' '/Maximum resident/ {print $2}' "$work/time")
awk -v u="$user" -v s="$sys" -v t="$seconds" -v r="$rss" 'BEGIN {
  printf "over %d s: CPU %.3f %% of one core (user %.2f s, sys %.2f s), peak RSS %.1f MB\n",
         t, 100 * (u + s) / t, u, s, r / 1024 }'

# The loop's own poll watches two descriptors (X and the signals); Xlib's
# inner polls while it flushes or waits for a reply watch one.
strace -e trace=poll -o "$work/strace" "$saver" &
tracer=$!
sleep "$seconds"
pkill -TERM -P "$tracer" -x orbidial
wait "$tracer" || true
loop=$(grep -c '^poll(\[{fd=[0-9]*, events=POLLIN}, {fd=' "$work/strace" || true)
all=$(grep -c '^poll(' "$work/strace" || true)
awk -v l="$loop" -v a="$all" -v t="$seconds" 'BEGIN {
  printf "wake-ups of the event loop: %d in %d s, %.2f per second (all poll calls, Xlib'"'"'s included: %.2f per second)\n",
         l, t, l / t, a / t }'
