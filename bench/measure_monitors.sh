#!/usr/bin/env bash
# The full-screen saver over two monitors, by hand (not part of the tests): a
# 1920x1080 and a 3840x2160 monitor side by side under Xvfb; CPU of the saver
# and of the X server over SECONDS once both faces show, and the saver's peak
# RSS.
#   bench/measure_monitors.sh [SECONDS] [DISPLAY] [ORBIDIAL]   defaults: 60 :49 build/shell/orbidial
# Needs a build with the tests (build/tests/e2e/xprobe), xrandr and
# /usr/bin/time.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
display=${2:-:49}
saver=$(realpath "${3:-build/shell/orbidial}")
probe=$PWD/build/tests/e2e/xprobe
work=$(mktemp -d)

# -noreset: the monitors would go with the last client.
Xvfb "$display" -screen 0 5760x2160x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'kill $xvfb 2>/dev/null; rm -rf "$work"' EXIT
export DISPLAY=$display
for _ in $(seq 100); do "$probe" nonblack 0 0 1 1 >/dev/null 2>&1 && break; sleep 0.05; done
xrandr --setmonitor HD 1920/508x1080/286+0+0 screen >/dev/null
xrandr --setmonitor UHD 3840/708x2160/399+1920+0 none >/dev/null
xrandr --listmonitors

ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }
/usr/bin/time -v -o "$work/time" "$saver" &
timer=$!
"$probe" wait-nonblack 1920 0 3840 2160 10000
sleep 2
pid=$(pgrep -P "$timer")
saver_before=$(ticks "$pid")
server_before=$(ticks "$xvfb")
sleep "$seconds"
saver_after=$(ticks "$pid")
server_after=$(ticks "$xvfb")
kill -TERM "$pid"
wait "$timer" || true
rss=$(awk -F': ' '/Maximum resident/ {print $2}' "$work/time")
awk -v t="$seconds" -v r="$rss" -v s=$((saver_after - saver_before)) -v x=$((server_after - server_before)) \
    -v hz="$(getconf CLK_TCK)" 'BEGIN {
  printf "over %d s: saver %.2f %% of one core, X server %.2f %%, together %.2f %%; saver peak RSS %.1f MB\n",
         t, 100 * s / hz / t, 100 * x / hz / t, 100 * (s + x) / hz / t, r / 1024 }'
