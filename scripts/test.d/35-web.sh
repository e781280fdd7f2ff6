#!/usr/bin/env bash
# The browser: builds build-web/ (scripts/build-web.sh) and compares it with
# the native renderer of the core build (stage 15): the drawing operations
# under node, and the page's labels in headless Chromium, its mouse, its
# stored options, its offline copy and its bad input.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/build-web.sh -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
# The native renderer reads the build tree's font aliases.
export ORBIDIAL_TEST_DATADIR=$PWD/build-core/share
bash tests/web/web_test.sh build-web build-core/shell/orbidial-render build-web/test
