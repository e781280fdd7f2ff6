#!/usr/bin/env bash
# By hand, not in CI: the real full-screen window under Xvfb for MINUTES with
# the live clock, under Valgrind memcheck (default) or, with ORBIDIAL built by
# the sanitize preset, under LeakSanitizer. Samples VmRSS every 30 s, ends the
# saver with SIGTERM and prints the RSS series, the leak summary and the
# error count. The full log stays in OUT (default a temporary folder).
# WINDOW_SOAK_PLAIN=1 runs the saver bare, for its own RSS without a tool.
# Usage: window_soak.sh MINUTES [ORBIDIAL] [DISPLAY] [OUT]
#   e.g. tests/soak/window_soak.sh 10 build/shell/orbidial :58
#        tests/soak/window_soak.sh 10 build-sanitize/shell/orbidial :58
set -euo pipefail
minutes=${1:?minutes}
orbidial=${2:-build/shell/orbidial}
# Programs of a build tree read their data files from the tree (the README).
export ORBIDIAL_TEST_DATADIR=${ORBIDIAL_TEST_DATADIR:-$(dirname "$orbidial")/../share}
display=${3:-:58}
out=${4:-$(mktemp -d)}
mkdir -p "$out"

Xvfb "$display" -screen 0 1920x1080x24 -nolisten tcp -noreset >"$out/xvfb.log" 2>&1 &
xvfb=$!
saver=
cleanup() {
  if [[ -n $saver ]]; then kill "$saver" 2>/dev/null || true; fi
  kill "$xvfb" 2>/dev/null || true
  wait 2>/dev/null || true
}
trap cleanup EXIT
for _ in $(seq 100); do DISPLAY=$display xdpyinfo >/dev/null 2>&1 && break; sleep 0.05; done
export DISPLAY=$display XDG_CONFIG_HOME=$out/config

if [[ -n ${WINDOW_SOAK_PLAIN:-} ]]; then
  tool="no tool"
  "$orbidial" >"$out/saver.out" 2>"$out/saver.err" &
elif nm -C "$orbidial" 2>/dev/null | grep -q __asan_init; then
  tool="LeakSanitizer"
  ASAN_OPTIONS=detect_leaks=1:log_path=$out/asan \
    "$orbidial" >"$out/saver.out" 2>"$out/saver.err" &
else
  tool="Valgrind memcheck"
  valgrind --tool=memcheck --leak-check=full --show-leak-kinds=definite,indirect \
    --errors-for-leak-kinds=definite,indirect --error-exitcode=99 --log-file="$out/valgrind.log" \
    "$orbidial" >"$out/saver.out" 2>"$out/saver.err" &
fi
saver=$!
echo "$tool, $minutes min on $display, log in $out"
samples=$((minutes * 2))
for ((i = 0; i <= samples; i++)); do
  rss=$(awk '/^VmRSS/ {print $2}' "/proc/$saver/status" 2>/dev/null) || { echo "the saver ended early"; break; }
  echo "t=$((i * 30))s VmRSS=${rss} kB" | tee -a "$out/rss.log"
  ((i < samples)) && sleep 30
done
DISPLAY=$display import -window root -resize 640x360 "$out/last.png" 2>/dev/null || true
kill -TERM "$saver"
status=0
wait "$saver" || status=$?
saver=
echo "saver exit status $status"
if [[ $tool == "no tool" ]]; then
  cat "$out/saver.err"
elif [[ $tool == Valgrind* ]]; then
  grep -E "ERROR SUMMARY|definitely lost|indirectly lost|possibly lost|still reachable" "$out/valgrind.log"
else
  cat "$out"/asan* 2>/dev/null || echo "LeakSanitizer: no report"
fi
