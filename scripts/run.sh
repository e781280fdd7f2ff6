#!/usr/bin/env bash
# The main job: installs what is missing, builds, and shows the clock: the
# saver full screen on $DISPLAY (Escape or a left click ends it), or, with no
# display, the current time drawn into a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
# The build tree's programs read their data files (fontconfig aliases, icon)
# from the tree, not from the install prefix.
export ORBIDIAL_TEST_DATADIR=$PWD/build/share
status=0
if [[ -n "${DISPLAY:-}" ]]; then
  build/shell/orbidial || status=$?
  # 1 means the display could not be opened (the saver said why); anything
  # else is the saver's own end.
  [[ $status -eq 1 ]] || exit "$status"
  reason="the X display $DISPLAY cannot be opened"
else
  reason="no X display (DISPLAY is not set)"
fi
out="$PWD/build/orbidial-now.png"
build/shell/orbidial-render -o "$out" >/dev/null
echo "$reason: drew the current time into $out instead"
