#!/usr/bin/env bash
# The picture on a server without MIT-SHM (plain XPutImage, as on a remote
# display) and on a 16-bit screen (pixels converted to the visual's masks):
# the same face as the renderer's, exactly or within the 16-bit rounding.
# Run twice by CTest, with E2E_XVFB_ARGS="-extension MIT-SHM" and E2E_DEPTH=16.
source "$(dirname "$0")/lib.sh"

[[ ${E2E_DEPTH:-24} == 24 ]] || export SHOWS_FUZZ=4%
AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
start_saver
tag=depth${E2E_DEPTH:-24}${E2E_XVFB_ARGS:+-noshm}
shows "$(reference "$tag" --at "$AT")"
xdotool key Escape
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"
echo "ok"
