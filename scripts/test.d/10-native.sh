#!/usr/bin/env bash
# Native build: unit tests, renderer checks and the end-to-end tests under Xvfb.
set -euo pipefail
# In CI a warning is an error; a user's build with a newer compiler is not
# stopped by one.
scripts/build.sh -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
ctest --test-dir build --output-on-failure -j 2
