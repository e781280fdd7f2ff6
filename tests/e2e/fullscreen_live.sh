#!/usr/bin/env bash
# Full screen on the real clock: today's theme colour stands right of the
# centre on the horizontal line. Without colour themes the face keeps theme
# 0 and the wheel changes nothing; a left click ends the run with status 0.
source "$(dirname "$0")/lib.sh"

highlight=(FAFA00 FFC09F FFFFFF 25C6FC FE6400 64FAFA 32FF38)  # RRGGBB, Sunday first

# No settings file: colour themes on. The theme is the weekday at start:
# read it on both sides of the start, and start again should midnight fall
# between.
for _ in 1 2; do
  weekday=$(date +%w)
  start_saver
  wait_first_frame 960 500 960 80
  [[ $(date +%w) == "$weekday" ]] && break
  kill "$SAVER_PID"
  wait "$SAVER_PID" || true
done
sleep 0.1
shot live >/dev/null
# The current labels: the year line, then month, day, weekday, hour, minute
# and second, all on the centre line right of the centre.
for span in "962 200" "1160 160" "1320 180"; do
  read -r x width <<<"$span"
  count=$("$XPROBE" shade "$x" 515 "$width" 50 "${highlight[$weekday]}")
  (( count > 100 )) || fail "only $count pixels of #${highlight[$weekday]} at x=$x right of the centre"
done
count=$("$XPROBE" shade 0 515 900 50 "${highlight[$weekday]}")
(( count < 20 )) || fail "$count pixels of the highlight colour left of the centre"
# The other entries fade in other shades; well above the line none is in it.
count=$("$XPROBE" shade 0 0 1920 300 "${highlight[$weekday]}")
(( count < 20 )) || fail "$count pixels of the highlight colour in the top rows"
xdotool mousemove 10 10 click 1
saver_exits_with 0

AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
store_settings 0 1
start_saver
wait_first_frame 0 0 1920 1080
xdotool click 4 click 4 click 5
sleep 0.3
same_image "$(shot no-themes)" "$(reference theme0 --at "$AT" --theme 0)"
xdotool click 1
saver_exits_with 0
echo "ok"
