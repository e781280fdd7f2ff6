#!/usr/bin/env bash
# Two monitors (XRandR 1.5 monitors on one 2304x800 screen): each shows the
# face of its own size, as orbidial-render draws it; the right button and
# the wheel on either change both; monitors removed, added and resized
# while it runs are followed; a left click on either monitor ends it, and so
# does the end of either window.
export E2E_SCREEN=2304x800
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

AT="2026-12-09 10:08:30"  # a Wednesday: theme 3
export ORBIDIAL_TEST_TIME=$AT
# The first monitor takes the screen's only output; the second is virtual.
xrandr --setmonitor L 1280/338x800/211+0+0 screen >/dev/null
xrandr --setmonitor R 1024/270x768/203+1280+0 none >/dev/null

left=1280x800+0+0 right=1024x768+1280+0
start_saver
wait_first_frame 0 0 2304 800
shows "$(reference left --at "$AT" --size 1280x800)" $left
shows "$(reference right --at "$AT" --size 1024x768)" $right
# The strip under the smaller monitor belongs to no monitor and is left alone.
(($("$XPROBE" nonblack 1280 768 1024 32) == 0)) || fail "drawn outside the monitors"

xdotool mousemove 1800 400 click 3   # on the right: the next style on both
shows "$(reference left-style2 --at "$AT" --size 1280x800 --style 2)" $left
shows "$(reference right-style2 --at "$AT" --size 1024x768 --style 2)" $right
xdotool mousemove 600 400 click 4    # on the left: the next theme on both
shows "$(reference right-theme4 --at "$AT" --size 1024x768 --style 2 --theme 4)" $right
xdotool mousemove 1800 400 click 5   # and back
shows "$(reference left-theme3 --at "$AT" --size 1280x800 --style 2 --theme 3)" $left

# Monitors change under the running saver: each face follows.
xrandr --delmonitor R >/dev/null
xrandr --setmonitor S 800/211x600/158+1400+100 none >/dev/null
added=$(reference added --at "$AT" --size 800x600 --style 2 --theme 3)
shows "$added" 800x600+1400+100
# Nothing of the removed monitor's face is left around the new one.
(($("$XPROBE" nonblack 1280 0 1024 100) == 0)) || fail "the removed monitor's face stayed"
# The server takes no new size for a monitor it has: it goes and comes back.
xrandr --delmonitor L >/dev/null
xrandr --setmonitor L 1024/270x700/185+0+0 screen >/dev/null
shows "$(reference resized --at "$AT" --size 1024x700 --style 2 --theme 3)" 1024x700+0+0
shows "$added" 800x600+1400+100
saver_running "monitors changing"

xdotool mousemove 1800 400 click 1   # a left click on the second monitor ends it
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"

# The same on the first monitor, and with one monitor left the face is that
# of a single monitor of its size.
xrandr --delmonitor S >/dev/null
start_saver
shows "$(reference single --at "$AT" --size 1024x700)" 1024x700+0+0
xdotool mousemove 500 300 click 1
saver_exits_with 0

# Another client destroying the window of either monitor ends the saver,
# as the end of the window always does.
xrandr --setmonitor S 800/211x600/158+1400+100 none >/dev/null
start_saver
shows "$(reference fresh --at "$AT" --size 800x600)" 800x600+1400+100
second=
for id in $(windows --name '^Orbidial$'); do
  [[ $(xwininfo -id "$id" | awk '/Absolute upper-left X/ {print $4}') == 1400 ]] && second=$id
done
[[ -n $second ]] || fail "no window on the second monitor"
"$XPROBE" destroy "$second"
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"
echo "ok"
