#!/usr/bin/env bash
# Full screen with the clock stopped: the screen equals the renderer's image
# of that instant; the right button and the wheel change it at once; motion
# and the swallowed system keys do not end it; Escape does, with status 0.
source "$(dirname "$0")/lib.sh"

AT="2026-12-09 10:08:30"  # a Wednesday: theme 3
export ORBIDIAL_TEST_TIME=$AT   # no settings file: style 1, colour themes on
start_saver
shows "$(reference style1-theme3 --at "$AT" --style 1)"

xdotool mousemove 300 200 mousemove 1500 900
saver_running "mouse motion"
xdotool key ctrl+Escape
saver_running "Ctrl+Esc"
xdotool key alt+Escape
saver_running "Alt+Esc"
xdotool key alt+Tab super ctrl+Tab Tab
saver_running "Alt+Tab, Super, Tab"

xdotool click 3
shows "$(reference style2-theme3 --at "$AT" --style 2 --theme 3)"

xdotool click 4   # wheel up: the next theme
shows "$(reference style2-theme4 --at "$AT" --style 2 --theme 4)"
xdotool click 5 click 5   # wheel down twice
shows "$(reference style2-theme2 --at "$AT" --style 2 --theme 2)"

xdotool click 3 click 3   # styles 0, then 1 again
shows "$(reference style1-theme2 --at "$AT" --style 1 --theme 2)"

xdotool key Escape
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"
echo "ok"
