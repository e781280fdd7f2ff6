#!/usr/bin/env bash
# The native Wayland saver's life under headless sway: started before
# there is any output, it waits and shows its face when one comes; a second
# copy ends at once with 0; SIGTERM ends it with 0; an Escape whose press
# went elsewhere does not end it; swayidle, whose timeout comes again after
# each spell of activity, keeps exactly one running; when the compositor
# dies the saver ends within a second with status 1 and one line of its own;
# and under phoc it ends without taking the compositor down.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

at="2026-12-09 10:08:30"
export ORBIDIAL_TEST_TIME=$at
start_sway --no-output

echo "no output at first: it waits, then shows its face"
start_client "$ORBIDIAL"
sleep 1
kill -0 "$CLIENT_PID" 2>/dev/null || fail "it ended with no output: $(cat "$WORK/client.err")"
add_output
set_output "$NEW_OUTPUT" 1024x768 0 0
output=$NEW_OUTPUT
park_pointer
wait_shows "$output" "$(reference face --at "$at" --size 1024x768)"

echo "a second copy ends at once with 0"
started=$(date +%s%N)
status=0
"$ORBIDIAL" 2>"$WORK/second.err" || status=$?
took=$((($(date +%s%N) - started) / 1000000))
((status == 0)) || fail "the second copy ended with $status: $(cat "$WORK/second.err")"
[[ ! -s $WORK/second.err ]] || fail "the second copy wrote: $(cat "$WORK/second.err")"
echo "the second copy ended after $took ms"
((took < 2000)) || fail "the second copy took $took ms to end"
kill -0 "$CLIENT_PID" 2>/dev/null || fail "the first copy ended"

echo "SIGTERM ends it with 0"
kill -TERM "$CLIENT_PID"
client_exits_with 0

echo "an Escape pressed before it showed: its release does not end it, the next Escape does"
# wtype presses Escape, then holds it while it reads its input, and lets it
# go at the input's end.
mkfifo "$WORK/hold"
wtype -P Escape - -p Escape <"$WORK/hold" &
holder=$!
STARTED+=("$holder")
exec 7>"$WORK/hold"
holding() { read -r call fd _ <"/proc/$holder/syscall" && [[ $call == 0 && $fd == 0x0 ]]; }
wait_for "wtype holding Escape" 5 holding
start_client "$ORBIDIAL" 7>&-
wait_shows "$output" "$(reference face --at "$at" --size 1024x768)"
exec 7>&-
wait "$holder"
# Events come in order: a face changed by the right button after the
# release means the release did not end the saver.
click 500 300 button3
wait_shows "$output" "$(reference style2 --at "$at" --size 1024x768 --style 2)"
keys -k Escape
client_exits_with 0

echo "swayidle starts exactly one"
# Each start and end of a copy leaves a line; the first copy's stderr is kept.
cat >"$WORK/saver.sh" <<SCRIPT
#!/bin/sh
n=\$(wc -l <"$WORK/starts" 2>/dev/null || echo 0)
echo start >>"$WORK/starts"
"$ORBIDIAL" 2>"$WORK/saver-\$n.err"
echo "end \$?" >>"$WORK/ends"
SCRIPT
chmod +x "$WORK/saver.sh"
: >"$WORK/starts"
: >"$WORK/ends"
swayidle timeout 2 "$WORK/saver.sh" >"$WORK/swayidle.log" 2>&1 &
STARTED+=($!)
count() { [[ $(wc -l <"$1") -ge $2 ]]; }
wait_for "swayidle's first start" 10 count "$WORK/starts" 1
wait_shows "$output" "$(reference face --at "$at" --size 1024x768)"
for round in 2 3; do
  # Activity ends the idle spell (the saver takes the key and ignores it);
  # two seconds later swayidle runs its command again.
  keys -k a
  wait_for "swayidle's start $round" 10 count "$WORK/starts" "$round"
  wait_for "the copy of start $round to end" 5 count "$WORK/ends" "$((round - 1))"
done
[[ $(sort -u "$WORK/ends") == "end 0" ]] || fail "the later copies ended with: $(cat "$WORK/ends")"
(($(wc -l <"$WORK/ends") == 2)) || fail "$(wc -l <"$WORK/ends") copies ended, expected 2"
shows "$output" "$(reference face --at "$at" --size 1024x768)" || fail "the first copy's face is gone: $SHOT"

echo "the compositor dies: status 1 within a second, one line"
kill -KILL "$COMPOSITOR_PID"
killed=$(date +%s%N)
{ wait "$COMPOSITOR_PID"; } 2>/dev/null || true
COMPOSITOR_PID=
wait_for "the saver's end" 3 count "$WORK/ends" 3
took=$((($(date +%s%N) - killed) / 1000000))
echo "ended $took ms after the compositor: $(tail -1 "$WORK/ends"); stderr: $(cat "$WORK/saver-0.err")"
[[ $(tail -1 "$WORK/ends") == "end 1" ]] || fail "it ended with $(tail -1 "$WORK/ends"), not 1"
((took < 1000)) || fail "it took $took ms to end"
[[ $(cat "$WORK/saver-0.err") == "orbidial: lost the connection to the Wayland compositor" ]] ||
  fail "stderr: $(cat "$WORK/saver-0.err")"
echo "phoc: its face, and it ends with the face's sub-surface still on its layer surface"
# phoc crashes when a layer surface's sub-surface goes before the layer
# surface does.
start_phoc 1024x768
start_client "$ORBIDIAL"
face=$(reference face --at "$at" --size 1024x768)
wait_shows HEADLESS-1 "$face"
kill -TERM "$CLIENT_PID"
client_exits_with 0
# The shot is taken only while phoc lives.
after=$SHOTS/$TEST_NAME-phoc-after.png
face_gone() { grim -o HEADLESS-1 "$after" && [[ $(compare -metric AE "$after" "$face" null: 2>&1) != 0 ]]; }
wait_for "phoc's output without the face" 5 face_gone
if ! kill -0 "$COMPOSITOR_PID" || ! grim -o HEADLESS-1 "$after"; then fail "phoc did not outlive the saver"; fi
# GTK itself complains of the missing seat, as under weston.
! grep -v -e '^$' -e 'GDK_IS_SEAT' "$WORK/client.err" || fail "the saver wrote more than GTK's complaint"
echo "passed"
