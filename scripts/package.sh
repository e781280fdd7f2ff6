#!/usr/bin/env bash
# Builds the Debian package in build-deb/, configured for /usr so that every
# path compiled into the programs is the one the package installs, with
# Debian's hardening flags (dpkg-buildflags).
set -euo pipefail
cd "$(dirname "$0")/.."
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)
cmake -S . -B build-deb -DCMAKE_BUILD_TYPE=Release -DCMAKE_INSTALL_PREFIX=/usr \
  -DORBIDIAL_TESTS=OFF -DORBIDIAL_BENCH=OFF "-DCMAKE_CXX_FLAGS=$cxxflags" \
  "-DCMAKE_EXE_LINKER_FLAGS=$ldflags" "$@" >/dev/null
cmake --build build-deb -j "$(nproc)"
(cd build-deb && rm -f orbidial_*.deb && cpack -G DEB >/dev/null)
ls build-deb/orbidial_*.deb
