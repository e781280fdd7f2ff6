#!/usr/bin/env bash
# The main job: installs what is missing, builds, and shows the clock: the
# saver full screen on $DISPLAY (Escape or a left click ends it), or, with no
# display, the current time drawn into a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
if [[ -n "${DISPLAY:-}" ]]; then
  exec build/shell/orbidial
fi
out="$PWD/build/orbidial-now.png"
build/shell/orbidial-render -o "$out" >/dev/null
echo "no X display (DISPLAY is not set): drew the current time into $out instead"
