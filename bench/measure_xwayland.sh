#!/usr/bin/env bash
# The X11 saver under headless sway's XWayland, by hand: the CPU of sway,
# Xwayland and the saver together over SECONDS (the focus exchange between
# the saver and sway's X window manager), and how far sway's log grew.
#   bench/measure_xwayland.sh ORBIDIAL ORBIDIAL_RENDER SHOTS_DIR [SECONDS]
# shellcheck source=../tests/wayland/lib.sh
source "$(dirname "$0")/../tests/wayland/lib.sh"
seconds=${4:-20}
export ORBIDIAL_TEST_DATADIR=${ORBIDIAL_TEST_DATADIR:-$(dirname "$ORBIDIAL")/../share}

start_sway --xwayland
add_output
second=$NEW_OUTPUT
set_output HEADLESS-1 1280x720 0 0
set_output "$second" 1024x768 1280 0
# wlroots starts Xwayland through a double fork: it is no child of sway's.
xwayland_pid=$(pgrep -n -x Xwayland)
sway_pid=$COMPOSITOR_PID

# On X11 through XWayland, not the native Wayland client it would be.
GDK_BACKEND=x11 start_client "$ORBIDIAL"
saver_pid=$CLIENT_PID
sleep 2
ticks() {
  local pid total=0
  for pid in "$@"; do
    read -r -a stat <"/proc/$pid/stat"
    total=$((total + stat[13] + stat[14]))
  done
  echo "$total"
}
log_before=$(wc -l <"$WORK/compositor.log")
before=$(ticks "$sway_pid" "$xwayland_pid" "$saver_pid")
for pid in "$sway_pid" "$xwayland_pid" "$saver_pid"; do eval "b_$pid=$(ticks "$pid")"; done
sleep "$seconds"
after=$(ticks "$sway_pid" "$xwayland_pid" "$saver_pid")
hz=$(getconf CLK_TCK)
for pid in "$sway_pid" "$xwayland_pid" "$saver_pid"; do
  b=b_$pid
  printf '%-10s %6.2f %% of a core\n' "$(cat "/proc/$pid/comm")" \
    "$(echo "scale=4; ($(ticks "$pid") - ${!b}) * 100 / $hz / $seconds" | bc)"
done
printf 'together   %6.2f %% of a core over %ss\n' "$(echo "scale=4; ($after - $before) * 100 / $hz / $seconds" | bc)" "$seconds"
echo "sway's log: $(($(wc -l <"$WORK/compositor.log") - log_before)) lines more"
park_pointer
for output in HEADLESS-1 "$second"; do output_shot "$output" "$output"; done
keys -k Escape
sleep 1
kill -0 "$saver_pid" 2>/dev/null && echo "Escape did not end the saver" || echo "Escape ended the saver"
