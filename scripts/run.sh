#!/usr/bin/env bash
# The main job: installs what is missing, builds, and shows the clock: the
# saver full screen on $WAYLAND_DISPLAY or $DISPLAY (Escape or a left click
# ends it), or, with no display, the current time drawn into a PNG.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
# The build tree's programs read their data files (fontconfig aliases, icon)
# from the tree, not from the install prefix.
export ORBIDIAL_TEST_DATADIR=$PWD/build/share
status=0
if [[ -n "${DISPLAY:-}" || -n "${WAYLAND_DISPLAY:-}" ]]; then
  build/shell/orbidial || status=$?
  # The saver's exit statuses (shell/include/shell/exit_status.h, orbidial(1)).
  case $status in
    1) if [[ -n "${WAYLAND_DISPLAY:-}" ]]; then
         reason="the Wayland compositor $WAYLAND_DISPLAY${DISPLAY:+ and the X display $DISPLAY} cannot be reached"
       else
         reason="the X display $DISPLAY cannot be opened"
       fi ;;
    3) echo "the clock's fonts are missing (the line above names them): scripts/install-deps.sh installs them"
       exit "$status" ;;
    *) exit "$status" ;;
  esac
else
  reason="no display (neither DISPLAY nor WAYLAND_DISPLAY is set)"
fi
out="$PWD/build/orbidial-now.png"
status=0
build/shell/orbidial-render -o "$out" >/dev/null || status=$?
if [[ $status -eq 3 ]]; then
  echo "$reason, and the clock's fonts are missing (the line above names them): scripts/install-deps.sh installs them"
  exit "$status"
fi
[[ $status -eq 0 ]] || exit "$status"
echo "$reason: drew the current time into $out instead"
