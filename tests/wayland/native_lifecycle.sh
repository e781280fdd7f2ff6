#!/usr/bin/env bash
# The native Wayland saver's life under headless sway: started before
# there is any output, it waits and shows its face when one comes; a second
# copy ends at once with 0, also where no lock file can be made (a plain
# file in the runtime folder's place, a directory or a dangling link in the
# lock file's); SIGTERM ends it with 0; an Escape whose press went elsewhere
# does not end it; swayidle, whose timeout comes again after each spell of
# activity, keeps exactly one running; when the compositor dies the saver
# ends within a second with status 1 and one line of its own; an output
# taken away takes its face, and the faces of the others stay as they were;
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
shows "$(reference face --at "$at" --size 1024x768)" "$output"

echo "a second copy ends at once with 0"
started=$(date +%s%N)
status=0
timeout 10 "$ORBIDIAL" 2>"$WORK/second.err" || status=$?
took=$((($(date +%s%N) - started) / 1000000))
((status != 124)) || fail "the second copy was still running after 10s"
((status == 0)) || fail "the second copy ended with $status: $(cat "$WORK/second.err")"
[[ ! -s $WORK/second.err ]] || fail "the second copy wrote: $(cat "$WORK/second.err")"
echo "the second copy ended after $took ms"
kill -0 "$CLIENT_PID" 2>/dev/null || fail "the first copy ended"

echo "one copy whatever the runtime folder: a file in its place, a directory or a dangling link for the lock"
socket=$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY
lock=orbidial-${socket//\//_}.lock
: >"$WORK/not-a-folder"
mkdir -p "$WORK/folder-lock/$lock" "$WORK/link-lock"
ln -s "$WORK/nowhere" "$WORK/link-lock/$lock"
for runtime in not-a-folder folder-lock link-lock; do
  status=0
  timeout 5 env XDG_RUNTIME_DIR="$WORK/$runtime" WAYLAND_DISPLAY="$socket" "$ORBIDIAL" 2>"$WORK/second.err" ||
    status=$?
  ((status == 0)) || fail "a second copy in $runtime ended with $status: $(cat "$WORK/second.err")"
done
kill -TERM "$CLIENT_PID"
client_exits_with 0
# Neither copy can make its lock file: the second still steps aside.
start_client env XDG_RUNTIME_DIR="$WORK/folder-lock" WAYLAND_DISPLAY="$socket" "$ORBIDIAL"
shows "$(reference face --at "$at" --size 1024x768)" "$output"
status=0
timeout 5 env XDG_RUNTIME_DIR="$WORK/link-lock" WAYLAND_DISPLAY="$socket" "$ORBIDIAL" 2>"$WORK/second.err" ||
  status=$?
((status == 0)) || fail "two copies without lock files: the second ended with $status: $(cat "$WORK/second.err")"
kill -0 "$CLIENT_PID" 2>/dev/null || fail "the first copy without a lock file ended: $(cat "$WORK/client.err")"

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
shows "$(reference face --at "$at" --size 1024x768)" "$output"
exec 7>&-
wait "$holder"
# Events come in order: a face changed by the right button after the
# release means the release did not end the saver.
click 500 300 button3
shows "$(reference style2 --at "$at" --size 1024x768 --style 2)" "$output"
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
shows "$(reference face --at "$at" --size 1024x768)" "$output"
for round in 2 3; do
  # Activity ends the idle spell (the saver takes the key and ignores it);
  # two seconds later swayidle runs its command again.
  keys -k a
  wait_for "swayidle's start $round" 10 count "$WORK/starts" "$round"
  wait_for "the copy of start $round to end" 5 count "$WORK/ends" "$((round - 1))"
done
[[ $(sort -u "$WORK/ends") == "end 0" ]] || fail "the later copies ended with: $(cat "$WORK/ends")"
(($(wc -l <"$WORK/ends") == 2)) || fail "$(wc -l <"$WORK/ends") copies ended, expected 2"
# The first copy's face is still there.
shows "$(reference face --at "$at" --size 1024x768)" "$output" 0

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

echo "an output taken away: the other faces stay as they were"
start_nested_sway 3
nested_output_size WL-1 1024x768
nested_output_size WL-2 800x600
nested_output_size WL-3 640x480
start_client "$ORBIDIAL"
shows "$(reference face --at "$at" --size 1024x768)" WL-1
shows "$(reference small --at "$at" --size 800x600)" WL-2
shows "$(reference smaller --at "$at" --size 640x480)" WL-3
# The first, then the last: the faces before and after the one that goes.
unplug_output WL-1
shows "$(reference small --at "$at" --size 800x600)" WL-2
shows "$(reference smaller --at "$at" --size 640x480)" WL-3
unplug_output WL-3
shows "$(reference small --at "$at" --size 800x600)" WL-2
kill -0 "$CLIENT_PID" 2>/dev/null || fail "the saver ended with its outputs: $(cat "$WORK/client.err")"
kill -TERM "$CLIENT_PID"
client_exits_with 0
[[ ! -s $WORK/client.err ]] || fail "the saver wrote: $(cat "$WORK/client.err")"

echo "phoc: its face, and it ends with the face's sub-surface still on its layer surface"
# phoc crashes when a layer surface's sub-surface goes before the layer
# surface does.
kill "$COMPOSITOR_PID"
wait "$COMPOSITOR_PID" 2>/dev/null || true
COMPOSITOR_PID=
start_phoc 1024x768
start_client "$ORBIDIAL"
face=$(reference face --at "$at" --size 1024x768)
shows "$face" HEADLESS-1
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
