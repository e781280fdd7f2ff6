#!/usr/bin/env bash
# The browser build against the native one:
#   web_test.sh BUILD_WEB ORBIDIAL_RENDER OUT
# - node's renderer prints the very drawing operations of the native
#   renderer for the instants, sizes, styles and themes of the native tests,
#   and a black frame where the browser's clock cannot hold the instant;
# - the page in headless Chromium (page_test.js), whose labels must stand
#   where the native renderer puts them at the same pixel size.
set -uo pipefail
site=$(realpath "$1")
render=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
mkdir -p "$3"
out=$(realpath "$3")
failures=0
passes=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }

# Operations: instant|size|style|theme|frames.
traces=(
  "2026-12-09 10:08:30|1920x1080|0||1" "2026-12-09 10:08:30|1920x1080|1||1"
  "2026-12-09 10:08:30|1920x1080|2||1" "2026-12-09 10:08:30|1280x800|1|6|1"
  "2026-12-09 10:08:30|320x200|2|0|1" "2026-12-09 10:08:30|152x112|0||1"
  "2016-12-31 23:59:59|480x270|0||3" "2024-02-29 23:59:58|480x270|1|4|3"
  "2026-03-29 01:59:59|3840x2160|2||2" "2026-12-09 10:08:60|480x270|0||2"
  "2026-12-09 10:08:30|480x270|65538||1" "2026-12-09 10:08:30|480x270|-1|3|1"
)
for row in "${traces[@]}"; do
  IFS='|' read -r at size style theme frames <<<"$row"
  args=(--at "$at" --size "$size" --style "$style" --frames "$frames" --calls)
  [[ -n $theme ]] && args+=(--theme "$theme")
  if ! node "$site/orbidial-render.js" "${args[@]}" >"$out/wasm.calls" 2>"$out/err"; then
    fail "wasm ${args[*]}: $(cat "$out/err")"
    continue
  fi
  "$render" "${args[@]}" >"$out/native.calls"
  if cmp -s "$out/wasm.calls" "$out/native.calls"; then
    passes=$((passes + 1))
  else
    fail "wasm ${args[*]}: the operations differ: $(diff "$out/native.calls" "$out/wasm.calls" | head -4)"
  fi
done
# Beyond the browser's clock (a 32-bit time) the frame stays black rather
# than showing a wrapped-around year.
for at in "2038-01-19 04:00:00" "275759-12-31 23:59:59"; do
  got=$(node "$site/orbidial-render.js" --at "$at" --size 480x270 --calls | tr '\n' '|')
  if [[ $got == "frame 1|fill 0 0 480 270|copy 0 0 480 270|" ]]; then
    passes=$((passes + 1))
  else
    fail "wasm at $at: not a black frame: ${got:0:120}"
  fi
done
# A PNG asked of node's renderer: refused, nothing written.
(cd "$out" && node "$site/orbidial-render.js" --size 64x48 -o refused.png >/dev/null 2>"$out/err")
[[ $? == 2 && ! -e $out/refused.png ]] || fail "node's renderer took a PNG: $(cat "$out/err")"

echo "web-trace: $passes passed, $failures failed"
trace_failures=$failures

# The page in Chromium; it writes its screenshots and their list.
NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} node "$here/page_test.js" "$site" "$out/page" ||
  failures=$((failures + 1))

# Each screenshot's labels against the native renderer at its pixel size:
# mean offset within 0.15 px, 95th percentile at most 1.2 px per unit of
# ratio. Style 0 is all upright; the Chinese styles turn all but the seven
# current labels and the year.
compared=0
while read -r shot size style ratio; do
  name=$(basename "$shot" .png)
  "$render" --at "2026-12-09 10:08:30" --style "$style" --size "$size" -o "$out/$name-native.png" >/dev/null
  "$render" --at "2026-12-09 10:08:30" --style "$style" --size "$size" --calls >"$out/$name.calls"
  p95=$(awk -v r="$ratio" 'BEGIN { print 1.2 * r }')
  if ((style == 0)); then limits=(--upright 0.15 "$p95" 180); else limits=(--upright 0.15 "$p95" 6 --turned 0.15 "$p95" 180); fi
  echo "-- $name"
  python3 "$here/../e2e/label_agreement.py" "$out/$name.calls" "$out/$name-native.png" "$shot" "${limits[@]}" ||
    fail "$name: the page puts labels apart from the renderer"
  compared=$((compared + 1))
done <"$out/page/shots.txt" 2>/dev/null
((compared == 12)) || fail "$compared of 12 screenshots compared"
((failures == trace_failures)) && echo "web-labels: $compared passed, 0 failed"
((failures == 0))
