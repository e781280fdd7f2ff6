#!/usr/bin/env bash
# Every test: installs what is missing, builds, then runs each stage of
# scripts/test.d in order; stops at the first that fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
passed=0
for stage in scripts/test.d/*.sh; do
  echo "== ${stage##*/}"
  if ! bash "$stage"; then
    echo "stage ${stage##*/} failed"
    echo "stages: $passed passed, 1 failed"
    exit 1
  fi
  passed=$((passed + 1))
done
echo "stages: $passed passed, 0 failed"
