#!/usr/bin/env bash
# Every test: installs what is missing, builds, then runs each stage of
# scripts/test.d in order; stops at the first that fails.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh --tests
for stage in scripts/test.d/*.sh; do
  echo "== ${stage##*/}"
  bash "$stage"
done
