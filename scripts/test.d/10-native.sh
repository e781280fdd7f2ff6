#!/usr/bin/env bash
# Native build: unit tests, renderer checks and the end-to-end tests under Xvfb.
set -euo pipefail
scripts/build.sh
ctest --test-dir build --output-on-failure -j 2
