#!/usr/bin/env bash
# A client that takes the input focus back whenever it loses it (as a window
# manager may) does not start a fight with the saver: while the keyboard
# grab holds, the saver leaves the focus alone; without the grab it takes the
# focus back at most a few times a second. Its CPU stays small either way.
# Windows mapped over the saver go under it: a notification daemon's popup
# (dunst's, override-redirect, mapped above everything) soon after it shows;
# a client that raises itself whenever covered meets a bounded answer.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
SECONDS_STOLEN=5

cpu_ticks() { awk '{print $14 + $15}' "/proc/$1/stat"; }

# steal_focus MAX_LOSSES: the thief for SECONDS_STOLEN; it may lose the
# focus at most MAX_LOSSES times, the saver use at most a tenth of a core.
steal_focus() {
  local before after lost
  before=$(cpu_ticks "$SAVER_PID")
  lost=$("$XPROBE" focus-thief "$SECONDS_STOLEN")
  after=$(cpu_ticks "$SAVER_PID")
  echo "the thief lost the focus $lost times; the saver used $((after - before)) ticks in ${SECONDS_STOLEN}s"
  ((lost <= $1)) || fail "the focus changed hands $lost times in ${SECONDS_STOLEN}s"
  (((after - before) * 10 <= $(getconf CLK_TCK) * SECONDS_STOLEN)) ||
    fail "the saver used $((after - before)) ticks in ${SECONDS_STOLEN}s"
}

# The grab holds: the thief keeps the focus, keys still come to the saver.
start_saver
wait_first_frame 0 0 1920 1080
# Asked before the grab, for GNOME's XWayland.
[[ $(xprop -name Orbidial _XWAYLAND_MAY_GRAB_KEYBOARD) == *"= 1" ]] ||
  fail "the window does not ask XWayland for the keyboard"
steal_focus 2
xdotool key Escape
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"

# Another client holds the keyboard: the saver says so in one line and takes
# the focus back, four times a second at most.
"$XPROBE" hold-grab >"$WORK/held" &
holder=$!
STARTED+=("$holder")
for _ in $(seq 100); do [[ -s "$WORK/held" ]] && break; sleep 0.02; done
[[ -s "$WORK/held" ]] || fail "the keyboard could not be held"
start_saver
wait_first_frame 0 0 1920 1080
steal_focus $((SECONDS_STOLEN * 4 + 4))
if [[ $(wc -l <"$WORK/saver.err") != 1 ]] || ! grep -q "keyboard" "$WORK/saver.err"; then
  fail "expected one line about the keyboard, got: $(cat "$WORK/saver.err")"
fi
# Once the keyboard is free, the next time the saver takes the focus back it
# takes the keyboard too, and Escape ends it.
kill "$holder"
"$XPROBE" focus-thief 1 >/dev/null
xdotool key Escape
saver_exits_with 0

# A session bus of the test's own with dunst on it, as a desktop has.
dbus-daemon --session --nofork --print-address=3 3>"$WORK/bus" 2>"$WORK/bus.log" &
STARTED+=($!)
wait_for "the session bus" "$E2E_WAIT" test -s "$WORK/bus"
DBUS_SESSION_BUS_ADDRESS=$(head -1 "$WORK/bus")
export DBUS_SESSION_BUS_ADDRESS
dunst -conf /dev/null >"$WORK/dunst.log" 2>&1 &
STARTED+=($!)
dunst_listens() {
  dbus-send --session --print-reply --dest=org.freedesktop.DBus /org/freedesktop/DBus \
    org.freedesktop.DBus.NameHasOwner string:org.freedesktop.Notifications 2>/dev/null | grep -q true
}
wait_for "dunst on the bus" "$E2E_WAIT" dunst_listens
face=$(reference face --at "$AT")
start_saver
shows "$face"
notify-send -u critical "Orbidial" "a notification over the saver"
find_window "$E2E_WAIT" --class Dunst >/dev/null ||
  fail "dunst showed no popup: $(cat "$WORK/dunst.log")"
shows "$face"

# Always on top too: the two take turns a few times a second, no faster.
before=$(cpu_ticks "$SAVER_PID")
raised=$("$XPROBE" keep-on-top "$SECONDS_STOLEN")
after=$(cpu_ticks "$SAVER_PID")
echo "a window that keeps itself on top raised itself $raised times in ${SECONDS_STOLEN}s;" \
  "the saver used $((after - before)) ticks"
((raised <= SECONDS_STOLEN * 10 + 4)) || fail "it was covered $raised times in ${SECONDS_STOLEN}s"
(((after - before) * 10 <= $(getconf CLK_TCK) * SECONDS_STOLEN)) ||
  fail "the saver used $((after - before)) ticks in ${SECONDS_STOLEN}s"
shows "$face"
xdotool key Escape
saver_exits_with 0
echo "ok"
