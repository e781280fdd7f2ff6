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
# The current labels: the year line, then month, day, weekday, hour, minute
# and second, all on the centre line right of the centre. The first frame
# may still be arriving: look until it holds, within the time limit.
labels_in_theme() {
  local span x width count
  for span in "962 200" "1160 160" "1320 180"; do
    read -r x width <<<"$span"
    count=$("$XPROBE" shade "$x" 515 "$width" 50 "${highlight[$weekday]}")
    (( count > 100 )) || { echo "only $count pixels of #${highlight[$weekday]} at x=$x right of the centre"; return 1; }
  done
  # The other entries fade in other shades; well above the line none is in
  # it. (Tuesday's white is a shade of their grey: not one of its own
  # pixels, then.)
  count=$("$XPROBE" "$elsewhere" 0 515 900 50 "${highlight[$weekday]}")
  (( count < most )) || { echo "$count pixels of the highlight colour left of the centre"; return 1; }
  count=$("$XPROBE" "$elsewhere" 0 0 1920 300 "${highlight[$weekday]}")
  (( count < most )) || { echo "$count pixels of the highlight colour in the top rows"; return 1; }
}
elsewhere=shade most=20
[[ ${highlight[$weekday]} != FFFFFF ]] || elsewhere=count most=1
deadline=$((SECONDS + E2E_WAIT))
until looked=$SECONDS && why=$(labels_in_theme); do
  ((looked < deadline)) || { shot live >/dev/null; fail "$why"; }
  sleep 0.05
done
shot live >/dev/null
xdotool mousemove 10 10 click 1
saver_exits_with 0

AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
store_settings 0 1
start_saver
shows "$(reference style1-theme0 --at "$AT" --theme 0)"
# The wheel turns change nothing: the right click after them shows formal
# numerals in theme 0 still, the events being taken in order.
xdotool click 4 click 4 click 5 click 3
shows "$(reference style2-theme0 --at "$AT" --style 2 --theme 0)"
xdotool click 1
saver_exits_with 0
echo "ok"
