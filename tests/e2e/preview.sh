#!/usr/bin/env bash
# Preview inside a window of another client: the face of the parent's size
# fills it, Escape and left clicks do nothing, the right button still works,
# and the saver ends with status 0 when the parent goes. A stale id ends at
# once, silently, with status 0.
source "$(dirname "$0")/lib.sh"

AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
start_parent 640 400

start_saver /p "$PARENT"
shows "$(reference preview --at "$AT" --size 640x400)" 640x400+100+100
# Nothing outside the parent.
outside=$("$XPROBE" nonblack 800 0 1120 1080)
(( outside == 0 )) || fail "$outside pixels drawn outside the parent"

child=$(wait_window '^Orbidial$')
xdotool windowfocus --sync "$child" key Escape
xdotool mousemove 420 300 click 1
saver_running "Escape and a left click in preview"
xdotool click 3
shows "$(reference preview-style2 --at "$AT" --size 640x400 --style 2)" 640x400+100+100

kill "$PARENT_PID"
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"

# Stale and missing ids, in both forms.
for args in "/p 123456789" "/p" "/p 99999999999999999999" "/p abc" "--window-id 0x3fffff0" \
            "-window-id junk" "--window-id 0xZZ" "--window-id 0x0" "--window-id=" "--window-id"; do
  status=0
  # Ends at once: it waits for nothing (the time limit is only for a loaded machine).
  # shellcheck disable=SC2086 # each case is a whole command line, split into words
  timeout 5 "$ORBIDIAL" $args >"$WORK/stale.out" 2>&1 || status=$?
  [[ $status != 124 ]] || fail "'$args' still ran after 5 s"
  [[ $status == 0 ]] || fail "'$args' ended with $status"
  [[ ! -s "$WORK/stale.out" ]] || fail "'$args' printed: $(cat "$WORK/stale.out")"
done
for value in junk 0 0x 99999999999; do
  status=0
  XSCREENSAVER_WINDOW=$value timeout 5 "$ORBIDIAL" >"$WORK/stale.out" 2>&1 || status=$?
  [[ $status == 0 && ! -s "$WORK/stale.out" ]] || fail "XSCREENSAVER_WINDOW=$value: status $status, $(cat "$WORK/stale.out")"
done
echo "ok"
