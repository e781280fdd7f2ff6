#!/usr/bin/env bash
# What one frame of the running saver costs, by hand (not part of the tests):
# the CPU time of the saver and of the X server (Xvfb) over a run, per frame
# (the saver draws one a second), against the warm frame of the raster
# surface measured in the same run by orbidial_bench (style 1, the default).
#   bench/measure_frame_cost.sh [SECONDS] [DISPLAY] [BUILD_DIR]
#   defaults: 60 :49 build-release (a Release build with the benchmarks:
#   cmake -S . -B build-release -DCMAKE_BUILD_TYPE=Release
#   cmake --build build-release --target orbidial orbidial_bench)
# Screens: 1920x1080, 3840x2160, and both side by side as two monitors
# (a 5760x2160 screen split with xrandr --setmonitor; the warm figure is then
# the two warm frames added). SIZES="1920x1080 ..." picks others.
# ROUNDS=N instead runs the saver and orbidial_floor_x11 (the least a clock
# changing once a second can cost: bench/floor_client_x11.cpp) in turn on
# each screen, N rounds of SECONDS each, and prints the medians of each's CPU
# a second with the X server's, and their ratio (by default at 1920x1080
# and 3840x2160).
# PROFILE=DIR also records `perf record -g` of the saver and the X server
# for each screen (needs linux-perf) and writes the top of each report to
# DIR/profile-WxH.txt.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds=${1:-60}
display=${2:-:49}
build=$(realpath "${3:-build-release}")
saver=$build/shell/orbidial
export ORBIDIAL_TEST_DATADIR=${ORBIDIAL_TEST_DATADIR:-$build/share}
bench=$build/bench/orbidial_bench
floor=$build/bench/orbidial_floor_x11
rounds=${ROUNDS:-}
# The floor has no two-monitor case: ROUNDS compares single screens.
if [[ -n "$rounds" ]]; then
  read -r -a sizes <<<"${SIZES:-1920x1080 3840x2160}"
else
  read -r -a sizes <<<"${SIZES:-1920x1080 3840x2160 1920x1080+3840x2160}"
fi
profile=${PROFILE:-}
work=$(mktemp -d)
xvfb=""
saver_pid=""
cleanup() {
  [[ -n "$saver_pid" ]] && kill "$saver_pid" 2>/dev/null
  [[ -n "$xvfb" ]] && kill "$xvfb" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
for program in "$saver" "$bench" "$floor"; do
  [[ -x "$program" ]] || { echo "missing $program: build it first (see the head of $0)" >&2; exit 2; }
done
[[ -z "$profile" ]] || mkdir -p "$profile"

# Nanoseconds on a CPU of every thread of a process, from the scheduler's
# own account (finer than the clock ticks of /proc/PID/stat).
cpu_ns() {
  local total=0 run _
  for stat in /proc/"$1"/task/*/schedstat; do
    read -r run _ <"$stat" || continue
    total=$((total + run))
  done
  echo "$total"
}

# The median CPU time of the warm frame at WxH, in ms.
warm_ms() {
  "$bench" --benchmark_filter="^BM_Frame/warm/w:$1/h:$2/style:1\$" --benchmark_repetitions=5 \
    --benchmark_report_aggregates_only=true --benchmark_format=csv 2>/dev/null |
    awk -F, '/_median"/ { print $4 }'
}

export HOME=$work XDG_CONFIG_HOME=$work/config

start_xvfb() {
  Xvfb "$display" -screen 0 "$1x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=$display
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
}
stop() {
  kill "$1"
  wait "$1" 2>/dev/null || true
}
median() { sort -n | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

# CPU ms a second of PROGRAM and the X server together, over SECONDS once
# PROGRAM has run for WARM seconds.
client_ms() {
  "$1" &
  saver_pid=$!
  sleep "$2"
  local c0 x0 t0 c1 x1 t1
  c0=$(cpu_ns "$saver_pid") x0=$(cpu_ns "$xvfb") t0=$(date +%s%N)
  sleep "$seconds"
  c1=$(cpu_ns "$saver_pid") x1=$(cpu_ns "$xvfb") t1=$(date +%s%N)
  stop "$saver_pid"
  saver_pid=""
  awk -v c=$((c1 - c0)) -v x=$((x1 - x0)) -v t=$((t1 - t0)) 'BEGIN { printf "%.4f %.4f\n", c / 1e6 / (t / 1e9), x / 1e6 / (t / 1e9) }'
}

if [[ -n "$rounds" ]]; then
  printf '%-10s %6s %9s %9s %9s %9s %7s\n' screen rounds "saver ms" "+X ms" "floor ms" "+X ms" ratio
  for size in "${sizes[@]}"; do
    start_xvfb "$size"
    : >"$work/saver" && : >"$work/floor"
    for ((round = 0; round < rounds; round++)); do
      client_ms "$saver" 3 >>"$work/saver"
      client_ms "$floor" 1 >>"$work/floor"
    done
    stop "$xvfb"
    xvfb=""
    s=$(awk '{print $1}' "$work/saver" | median) sx=$(awk '{print $1 + $2}' "$work/saver" | median)
    f=$(awk '{print $1}' "$work/floor" | median) fx=$(awk '{print $1 + $2}' "$work/floor" | median)
    awk -v n="$size" -v r="$rounds" -v s="$s" -v sx="$sx" -v f="$f" -v fx="$fx" \
      'BEGIN { printf "%-10s %6d %9.3f %9.3f %9.3f %9.3f %7.2f\n", n, r, s, sx, f, fx, sx / fx }'
  done
  exit 0
fi

printf '%-22s %9s %9s %9s %9s %9s %7s\n' screen "saver ms" "X ms" "sum ms" "% core" "warm ms" ratio
for size in "${sizes[@]}"; do
  IFS=+ read -r -a monitors <<<"$size"
  width=0 height=0 warm=0
  for m in "${monitors[@]}"; do
    w=${m%x*} h=${m#*x}
    width=$((width + w))
    ((h > height)) && height=$h
    warm=$(awk -v a="$warm" -v b="$(warm_ms "$w" "$h")" 'BEGIN { print a + b }')
  done

  Xvfb "$display" -screen 0 "${width}x${height}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
  xvfb=$!
  export DISPLAY=$display
  for _ in $(seq 100); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
  if ((${#monitors[@]} > 1)); then
    x=0 i=0
    for m in "${monitors[@]}"; do
      w=${m%x*} h=${m#*x}
      output=$([[ $i == 0 ]] && echo screen || echo none)
      xrandr --setmonitor "M$i" "$w/$((w * 254 / 960))x$h/$((h * 254 / 960))+$x+0" "$output" >/dev/null
      x=$((x + w)) i=$((i + 1))
    done
  fi

  "$saver" &
  saver_pid=$!
  # Past the first frames and the glyphs of every second's place.
  sleep 3
  saver0=$(cpu_ns "$saver_pid") x0=$(cpu_ns "$xvfb") t0=$(date +%s%N)
  if [[ -n "$profile" ]]; then
    perf record -q -g -o "$work/perf.data" -p "$saver_pid,$xvfb" -- sleep "$seconds" 2>/dev/null
  else
    sleep "$seconds"
  fi
  saver1=$(cpu_ns "$saver_pid") x1=$(cpu_ns "$xvfb") t1=$(date +%s%N)
  kill "$saver_pid"
  wait "$saver_pid" 2>/dev/null || true
  saver_pid=""
  kill "$xvfb"
  wait "$xvfb" 2>/dev/null || true
  xvfb=""

  awk -v s=$((saver1 - saver0)) -v x=$((x1 - x0)) -v t=$((t1 - t0)) -v w="$warm" -v name="$size" 'BEGIN {
    frames = t / 1e9
    sm = s / 1e6 / frames; xm = x / 1e6 / frames
    printf "%-22s %9.3f %9.3f %9.3f %9.3f %9.3f %7.1f\n", name, sm, xm, sm + xm, 100 * (s + x) / t, w, (sm + xm) / w }'
  if [[ -n "$profile" ]]; then
    perf report -i "$work/perf.data" --stdio --no-children --sort comm,dso,sym --percent-limit 1 \
      2>/dev/null | grep -v '^$' | grep -E '^ +[0-9]|^#' | head -60 >"$profile/profile-$size.txt"
  fi
done
