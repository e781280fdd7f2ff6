#!/usr/bin/env bash
# How the running saver keeps time, by hand (not part of the tests): watches
# the current label of the second ring and reports the changes per second,
# the seconds skipped and repeated, and how long after the whole second of
# the wall clock the face changes (median, 95th percentile, maximum, in ms).
#   bench/measure_ticks.sh [X11_SECONDS] [WINE_SECONDS] [DISPLAY]
#   defaults: 600 180 :57; 0 seconds leaves that part out.
# The X11 part runs build/shell/orbidial under Xvfb at 1920x1080; the Wine
# part runs build-win/shell/Orbidial.scr /s on the same screen in a fresh
# prefix. Needs a native build with the tests (build/tests/e2e/xprobe).
set -euo pipefail
cd "$(dirname "$0")/.."
x11_seconds=${1:-600}
wine_seconds=${2:-180}
display=${3:-:57}
probe=$PWD/build/tests/e2e/xprobe
export ORBIDIAL_TEST_DATADIR=$PWD/build/share
second_box=(1400 512 110 50)   # 1920x1080, style 1
work=$(mktemp -d)

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
saver=""
cleanup() {
  [[ -n "$saver" ]] && kill "$saver" 2>/dev/null
  [[ -n "${WINEPREFIX:-}" ]] && wineserver -k 2>/dev/null
  kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export DISPLAY=$display
for _ in $(seq 100); do "$probe" nonblack 0 0 1 1 >/dev/null 2>&1 && break; sleep 0.05; done

watch() {
  "$probe" wait-nonblack 960 500 960 80 20000
  sleep 1
  "$probe" changes "${second_box[@]}" "$1" >"$work/changes"
  tail -n 1 "$work/changes"
}

if ((x11_seconds > 0)); then
  build/shell/orbidial &
  saver=$!
  echo "X11 (Xvfb 1920x1080), ${x11_seconds} s: $(watch "$x11_seconds")"
  kill "$saver"
  wait "$saver" || true
  saver=""
fi

if ((wine_seconds > 0)); then
  export WINEPREFIX=$work/wine
  # shellcheck source=../tests/e2e/wine-prefix.sh
  source tests/e2e/wine-prefix.sh
  wine_prefix_setup
  wine build-win/shell/Orbidial.scr /s &
  saver=$!
  echo "Wine (Xvfb 1920x1080), ${wine_seconds} s: $(watch "$wine_seconds")"
  xdotool key Escape
  wait "$saver" || true
  saver=""
fi
