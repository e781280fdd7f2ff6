#!/usr/bin/env bash
# Configures and builds the native programs and tests into build/. Further
# arguments go to CMake (the test stage adds -DCMAKE_COMPILE_WARNING_AS_ERROR=ON).
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
cmake --build build -j "$(nproc)"
