#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each for SECONDS (default 15) from its
# seed corpus; further arguments go to CMake. For a long run by hand:
# scripts/fuzz.sh 3600
set -euo pipefail
cd "$(dirname "$0")/.."

seconds="${1:-15}"
shift || true
cmake --preset fuzz "$@" >/dev/null
cmake --build --preset fuzz -j "$(nproc)"
for target in build-fuzz/tests/fuzz/*_fuzz; do
  name=$(basename "$target" _fuzz)
  work="build-fuzz/corpus/$name"
  mkdir -p "$work"
  echo "-- fuzzing $name for ${seconds}s"
  log="build-fuzz/$name.log"
  status=0
  "$target" -artifact_prefix="build-fuzz/$name-" -max_total_time="$seconds" -print_final_stats=1 -timeout=10 -rss_limit_mb=2048 \
    "$work" "tests/fuzz/corpus/$name" >"$log" 2>&1 || status=$?
  grep -E "^stat::number_of_executed_units|^stat::peak_rss" "$log" || true
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log"
    echo "fuzz target $name found a fault (crash input saved beside the log)"
    exit 1
  fi
done
