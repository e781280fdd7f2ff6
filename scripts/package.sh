#!/usr/bin/env bash
# Builds the Debian package in build-deb/, configured for /usr so that every
# path compiled into the programs is the one the package installs.
set -euo pipefail
cd "$(dirname "$0")/.."
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DORBIDIAL_TESTS=OFF -DORBIDIAL_BENCH=OFF >/dev/null
cmake --build build-deb -j "$(nproc)"
(cd build-deb && rm -f orbidial_*.deb && cpack -G DEB >/dev/null)
ls build-deb/orbidial_*.deb
