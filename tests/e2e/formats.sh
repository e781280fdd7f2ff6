#!/usr/bin/env bash
# The picture on a server without MIT-SHM (plain XPutImage, as on a remote
# display) and on a 16-bit screen (pixels converted to the visual's masks):
# the same face as the renderer's, exactly or within the 16-bit rounding.
# Run twice by CTest, with E2E_XVFB_ARGS="-extension MIT-SHM" and E2E_DEPTH=16.
source "$(dirname "$0")/lib.sh"

fuzz=
[[ ${E2E_DEPTH:-24} == 24 ]] || fuzz=4%
AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
start_saver
wait_first_frame 0 0 1920 1080
sleep 0.1
tag=depth${E2E_DEPTH:-24}${E2E_XVFB_ARGS:+-noshm}
same_image "$(shot "$tag")" "$(reference "$tag" --at "$AT")" $fuzz
xdotool key Escape
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"
echo "ok"
