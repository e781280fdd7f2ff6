#!/usr/bin/env bash
# One full-screen saver per display: a second copy ends at once, silently,
# with status 0, and leaves the first as it was (still ending on Escape).
# Previews and hacks are not limited. A copy killed outright frees the
# display for the next.
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
  [[ $status == 0 ]] || fail "a second copy ('$args') ended with $status"
  [[ ! -s "$WORK/second.out" ]] || fail "a second copy ('$args') wrote: $(cat "$WORK/second.out")"
  ((elapsed < 1000)) || fail "a second copy ('$args') took ${elapsed} ms to end"
  echo "a second copy ('$args') ended in ${elapsed} ms"
done
SAVER_PID=$first
saver_running "second copies"
shows "$face"

# A hack in a window of its own still runs beside it.
start_parent 640 400
printf -v hex '0x%x' "$PARENT"
"$ORBIDIAL" --window-id "$hex" 2>"$WORK/hack.err" &
hack=$!
STARTED+=("$hack")
shows_in "$(reference hack --at "$AT" --size 640x400)" 640x400+100+100
kill "$hack" "$PARENT_PID"
wait "$hack" || fail "the hack ended with $?"

xdotool key Escape
saver_exits_with 0
[[ ! -s "$WORK/saver.err" ]] || fail "saver wrote: $(cat "$WORK/saver.err")"

# Once it has ended, or was killed outright, the next copy runs.
for ending in Escape KILL; do
  start_saver
  wait_first_frame 0 0 1920 1080
  if [[ $ending == KILL ]]; then
    kill -KILL "$SAVER_PID"
    wait "$SAVER_PID" 2>/dev/null || true
    # Its windows go with its connection.
    for _ in $(seq 100); do (($("$XPROBE" nonblack 0 0 1920 1080) == 0)) && break; sleep 0.05; done
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
echo "ok"
