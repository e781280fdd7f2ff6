#!/usr/bin/env bash
# The core: the build with no desktop back end (no X11, Wayland or GTK)
# configures without them and passes its own tests, into build-core/.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build-core -DORBIDIAL_X11=OFF -DORBIDIAL_WAYLAND=OFF -DORBIDIAL_GTK=OFF \
  -DORBIDIAL_BENCH=OFF -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
# Configuring never looked for a desktop library.
if grep -E '^(X11_[A-Za-z0-9_]*(INCLUDE|LIB)|GTK3_|WAYLAND_SAVER_)' build-core/CMakeCache.txt; then
  echo "the core configuration looked for a desktop library"
  exit 1
fi
cmake --build build-core -j "$(nproc)"
[[ -x build-core/shell/orbidial-render ]] || { echo "the core build lacks orbidial-render"; exit 1; }
# The lint and the soak are stage 10's; the same sources, the same result.
ctest --test-dir build-core --output-on-failure -j 2 -LE 'soak|lint'
