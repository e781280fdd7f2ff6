#!/usr/bin/env bash
# Hunts flaky tests: runs every end-to-end, Wayland and fault test of the
# native build (ctest labels e2e and fault) ROUNDS times, JOBS side by side,
# and the Wine tests once a round beside them when build-win/ holds the cross
# build, while a busy loop on every core keeps the machine loaded. Prints per
# test its runs and failures; the output of every round stays in
# build/flake-hunt/ (round-N.log, and wine-*-N.log for the Wine tests, with
# the screen of a wine_e2e failure in wine_e2e-N-failure.png).
#   scripts/flake-hunt.sh [ROUNDS [JOBS]]      (20 rounds, 3 at a time)
# FLAKE_TESTS=REGEX runs only the ctest tests it matches.
set -euo pipefail
cd "$(dirname "$0")/.."
rounds=${1:-20} jobs=${2:-3}
[[ $rounds =~ ^[1-9][0-9]*$ && $jobs =~ ^[1-9][0-9]*$ ]] || { echo "usage: $0 [ROUNDS [JOBS]]" >&2; exit 2; }
[[ -x build/shell/orbidial ]] || { echo "no native build in build/ (scripts/build.sh)" >&2; exit 2; }
out=build/flake-hunt
rm -rf "$out"
mkdir -p "$out"

load=()
stop() {
  local pid
  for pid in "${load[@]}"; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
}
trap stop EXIT
# A busy loop per core, at the tests' own priority.
for _ in $(seq "$(nproc)"); do
  bash -c 'while :; do :; done' &
  load+=($!)
done

wine=false
if [[ -f build-win/shell/Orbidial.scr ]]; then
  wine=true
  export ORBIDIAL_TEST_DATADIR=$PWD/build/share
fi
# wine_round N: both Wine tests, one after the other; a line "NAME passed"
# or "NAME failed" each in $out/wine-N.result.
wine_round() {
  local name script
  for name in wine_e2e wine_agreement; do
    script=tests/e2e/win32_e2e.sh
    [[ $name == wine_agreement ]] && script=tests/e2e/win32_agreement.sh
    if RENDER=$PWD/build/shell/orbidial-render XPROBE=$PWD/build/tests/e2e/xprobe \
      timeout 900 bash "$script" build-win >"$out/$name-$1.log" 2>&1; then
      echo "$name passed"
    else
      echo "$name failed"
      [[ $name != wine_e2e ]] || cp build-win/e2e-win32/failure.png "$out/$name-$1-failure.png" 2>/dev/null || true
    fi
  done >"$out/wine-$1.result"
}

filter=(-L 'e2e|fault')
[[ -z ${FLAKE_TESTS:-} ]] || filter=(-R "$FLAKE_TESTS")
started=$SECONDS
for ((round = 1; round <= rounds; round++)); do
  wine_pid=
  if $wine; then
    wine_round "$round" &
    wine_pid=$!
  fi
  ctest --test-dir build "${filter[@]}" -j "$jobs" --output-on-failure >"$out/round-$round.log" 2>&1 || true
  [[ -z $wine_pid ]] || wait "$wine_pid"
  failed=$(grep -cE '^ *[0-9]+/[0-9]+ Test +#[0-9]+: .*(Failed|Timeout|Exception)' "$out/round-$round.log" || true)
  echo "round $round of $rounds: $failed ctest failures$($wine && echo ", Wine: $(tr '\n' ' ' <"$out/wine-$round.result")") ($((SECONDS - started)) s so far)"
done

# Per test: runs and failures over all rounds.
{
  cat "$out"/round-*.log | sed -nE 's/^ *[0-9]+\/[0-9]+ Test +#[0-9]+: ([^ ]+) \.* *(\**)([A-Za-z]+).*/\1 \3/p'
  ! $wine || cat "$out"/wine-*.result
} | awk '{ runs[$1]++; if ($2 != "Passed" && $2 != "passed") fails[$1]++ }
  END {
    for (t in runs) { printf "%-45s %4d runs %4d failed\n", t, runs[t], fails[t]; total += runs[t]; bad += fails[t] }
    printf "%-45s %4d runs %4d failed\n", "all", total, bad
  }' | sort -k1,1 | tee "$out/figures.txt"
echo "rounds: $rounds, $jobs side by side, $(nproc) busy loops; $((SECONDS - started)) s; logs in $out/"
! grep -qE '^all +[0-9]+ runs +[1-9]' "$out/figures.txt"
