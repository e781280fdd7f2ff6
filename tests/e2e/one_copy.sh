#!/usr/bin/env bash
# One full-screen saver per display: a second copy ends at once, silently,
# with status 0, and leaves the first as it was (still ending on Escape).
# Previews and hacks are not limited. A copy killed outright frees the
# display for the next. Of two copies started in the same instant one runs.
# E2E_FAULT_PRELOAD: the fault library, which lines the two copies up.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

AT="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$AT
start_saver
first=$SAVER_PID
wait_first_frame 0 0 1920 1080
face=$(reference face --at "$AT" --size 1920x1080)
shows "$face"

for args in "" /s "/S 5"; do
  start=$(date +%s%N)
  status=0
  # shellcheck disable=SC2086
  timeout 5 "$ORBIDIAL" $args >"$WORK/second.out" 2>&1 || status=$?
  elapsed=$((($(date +%s%N) - start) / 1000000))
  # It waits for nothing: 5 s is only the limit of a loaded machine.
  [[ $status != 124 ]] || fail "a second copy ('$args') still ran after 5 s"
  [[ $status == 0 ]] || fail "a second copy ('$args') ended with $status"
  [[ ! -s "$WORK/second.out" ]] || fail "a second copy ('$args') wrote: $(cat "$WORK/second.out")"
  echo "a second copy ('$args') ended in ${elapsed} ms"
done
SAVER_PID=$first
saver_running "second copies"
shows "$face"

# A hack in a window of its own still runs beside it; the full-screen saver
# stays on top, so the hack shows once the saver has ended.
start_parent 640 400
printf -v hex '0x%x' "$PARENT"
"$ORBIDIAL" --window-id "$hex" 2>"$WORK/hack.err" &
hack=$!
STARTED+=("$hack")
shows "$face"
xdotool key Escape
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"
shows "$(reference hack --at "$AT" --size 640x400)" 640x400+100+100
kill "$hack" "$PARENT_PID"
wait "$hack" || fail "the hack ended with $?"

# Once it has ended, or was killed outright, the next copy runs.
for ending in Escape KILL; do
  start_saver
  wait_first_frame 0 0 1920 1080
  if [[ $ending == KILL ]]; then
    kill -KILL "$SAVER_PID"
    wait "$SAVER_PID" 2>/dev/null || true
    # Its windows go with its connection.
    wait_count 0 0 1920 1080 000000 $((1920 * 1080))
  else
    xdotool key Escape
    saver_exits_with 0
  fi
done
start_saver
wait_first_frame 0 0 1920 1080
saver_running "a start after a killed copy"
xdotool key Escape
saver_exits_with 0

# Two copies in the same instant: each, asking whether the display has a
# saver, waits with the answer until the other has asked too. Unless asking
# and taking are one step, both find it free and both run.
mkdir "$WORK/meet"
# The fault library comes before the sanitizer's runtime in a sanitizer build.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
copies=()
for copy in 1 2; do
  ORBIDIAL_FAULT_MEET_DIR=$WORK/meet LD_PRELOAD=$E2E_FAULT_PRELOAD "$ORBIDIAL" 2>"$WORK/copy$copy.err" &
  copies+=($!)
  STARTED+=($!)
done
one_ended() { ! kill -0 "${copies[0]}" || ! kill -0 "${copies[1]}"; }
wait_for "the end of one of two copies started together" "$E2E_WAIT" one_ended
for copy in 0 1; do
  kill -0 "${copies[copy]}" 2>/dev/null && SAVER_PID=${copies[copy]} && continue
  wait "${copies[copy]}" || fail "the copy that did not run ended with $?"
done
[[ ! -s $WORK/copy1.err && ! -s $WORK/copy2.err ]] || fail "they wrote: $(cat "$WORK"/copy*.err)"
saver_running "the end of the other copy"
xdotool key Escape
saver_exits_with 0
echo "ok"
