#!/usr/bin/env bash
# SIGTERM, SIGINT and SIGHUP end a full-screen run with status 0 and release
# the keyboard, and end it with 0 as well when they come while it starts, and
# end the options dialog with 0; as an xscreensaver hack the saver draws into
# the given window, grabs nothing, and ends on SIGTERM leaving the window in
# place. E2E_FAULT_PRELOAD: the fault library, which holds the saver still.
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

# Held as it opens its settings, before the fonts and the display: the
# signal waits for the saver's loop.
mkdir "$WORK/hold"
# The fault library comes before the sanitizer's runtime in a sanitizer build.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
for signal in TERM INT HUP; do
  rm -f "$WORK/hold"/*
  ORBIDIAL_FAULT_HOLD_OPEN=/OrbDial.ini ORBIDIAL_FAULT_HOLD_DIR=$WORK/hold LD_PRELOAD=$E2E_FAULT_PRELOAD \
    start_saver
  wait_for "the saver's start" "$E2E_WAIT" test -e "$WORK/hold/held"
  kill -s "$signal" "$SAVER_PID"
  touch "$WORK/hold/go"
  saver_exits_with 0 "$E2E_WAIT"
  [[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"
done

start_dialog
kill -TERM "$SAVER_PID"
saver_exits_with 0

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
