#!/usr/bin/env bash
# SIGTERM and SIGINT end a full-screen run with status 0 and release the
# keyboard; as an xscreensaver hack the saver draws into the given window,
# grabs nothing, and ends on SIGTERM leaving the window in place.
source "$(dirname "$0")/lib.sh"

AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
for signal in TERM INT HUP; do
  start_saver
  wait_first_frame 0 0 1920 1080
  ! "$XPROBE" grab || fail "another client could grab the keyboard while the saver ran"
  kill -s "$signal" "$SAVER_PID"
  saver_exits_with 0
  "$XPROBE" grab || fail "the keyboard is still grabbed after SIG$signal"
  [[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"
done

start_parent 800 500
printf -v hex '0x%x' "$PARENT"

start_saver --window-id "$hex"
shows "$(reference hack --at "$AT" --size 800x500)" 800x500+100+100
"$XPROBE" grab || fail "the hack grabbed the keyboard"
kill -TERM "$SAVER_PID"
saver_exits_with 0
xwininfo -id "$PARENT" >/dev/null 2>&1 || fail "the host window went with the hack"

# Another instant, so the host window's old frame cannot pass for a new one.
export ORBIDIAL_TEST_TIME="2027-01-01 00:00:00"
XSCREENSAVER_WINDOW=$PARENT start_saver --root
shows "$(reference environment --at "$ORBIDIAL_TEST_TIME" --size 800x500)" 800x500+100+100
kill -TERM "$SAVER_PID"
saver_exits_with 0
echo "ok"
