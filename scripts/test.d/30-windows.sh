#!/usr/bin/env bash
# Windows: cross-compiles Orbidial.scr and the tests with mingw-w64 into
# build-win/, runs the unit tests under Wine, drives the saver and its
# options dialog under Wine on a private Xvfb display, and compares its face
# with the native renderer's.
set -euo pipefail
cd "$(dirname "$0")/../.."
cmake -S . -B build-win -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64-x86_64.cmake \
  -DCMAKE_BUILD_TYPE=Release -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build build-win -j2
# The native programs of build/ (stage 10) read their data files from it.
export ORBIDIAL_TEST_DATADIR=$PWD/build/share
# The native build (stage 10) brings the screen watcher.
XPROBE=$PWD/build/tests/e2e/xprobe bash tests/e2e/win32_e2e.sh build-win
# The same face as the native renderer draws, label by label.
RENDER=$PWD/build/shell/orbidial-render XPROBE=$PWD/build/tests/e2e/xprobe \
  bash tests/e2e/win32_agreement.sh build-win

# The Windows package: Orbidial.scr and its read-me in a .zip.
(cd build-win && rm -f Orbidial-*-win64.zip && cpack -G ZIP >/dev/null)
listing=$(cmake -E tar tf build-win/Orbidial-*-win64.zip)
for f in Orbidial.scr README.txt LICENSE.txt; do
  grep -qx "$f" <<<"$listing" || { echo "the Windows zip lacks $f"; exit 1; }
done
! grep -aqF "$PWD" build-win/shell/Orbidial.scr || { echo "Orbidial.scr names the folder it was built in"; exit 1; }
echo "windows-zip: 1 passed, 0 failed"
