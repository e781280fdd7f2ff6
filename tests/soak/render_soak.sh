#!/usr/bin/env bash
# Draws thousands of successive seconds across a month's end and midnight in
# every style and checks that memory stays flat after warm-up (the glyph cache
# is bounded) and that nothing leaks (under the sanitizer build, LeakSanitizer
# checks at exit).  Usage: render_soak.sh ORBIDIAL_RENDER [FRAMES]
set -euo pipefail
render="$1"
# Programs of a build tree read their data files from the tree (the README).
export ORBIDIAL_TEST_DATADIR=${ORBIDIAL_TEST_DATADIR:-$(dirname "$render")/../share}
frames="${2:-3000}"
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
fail=0
peak_kb() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -n 1; }
for style in 0 1 2; do
  at="2026-01-31 23:$(printf %02d $((59 - frames / 60 / 2 % 59))):00"
  short=$(peak_kb "$render" --size 1280x720 --at "$at" --style "$style" --frames 200 -o "$work/a.png")
  long=$(peak_kb "$render" --size 1280x720 --at "$at" --style "$style" --frames "$frames" -o "$work/b.png")
  echo "style $style: peak RSS ${short} KB after 200 frames, ${long} KB after $frames"
  if [ -z "${ASAN_OPTIONS:-}" ] && [ "$long" -gt $((short + 40960)) ]; then
    echo "memory grew by more than 40 MB over the run"
    fail=1
  fi
  [ -s "$work/b.png" ] || { echo "no frame written"; fail=1; }
done
if [ "$fail" -ne 0 ]; then echo "render-soak: 0 passed, 1 failed"; exit 1; fi
echo "render-soak: 1 passed, 0 failed"
