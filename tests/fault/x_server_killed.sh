#!/usr/bin/env bash
# The X server dies under a running saver, full screen (SIGKILL), in a
# preview (SIGTERM), with the options dialog open (SIGKILL), and stalled
# (SIGSTOP) while the saver sends it a frame without shared memory, then
# killed: the saver ends within a second with status 1 (not by a signal,
# SIGPIPE included), one line on stderr at most (the dialog's says the
# display was lost), and no core file.
source "$(dirname "$0")/../e2e/lib.sh"

export ORBIDIAL_TEST_TIME="2026-12-09 10:08:30"
mkdir "$WORK/cwd"
cd "$WORK/cwd" || fail "no folder $WORK/cwd"
ulimit -c unlimited

for placement in fullscreen preview options stalled; do
  if [[ $placement == preview ]]; then
    start_parent 640 400
    start_saver /p "$PARENT"
    # The parent is grey: the preview is up once none of it shows.
    wait_window '^Orbidial$' >/dev/null
    wait_count 100 100 640 400 404040 0
    signal=TERM
  elif [[ $placement == options ]]; then
    start_dialog
    signal=KILL
  else
    start_saver
    wait_first_frame 0 0 1920 1080
    signal=KILL
    if [[ $placement == stalled ]]; then
      # The next frame (8 MB, more than the socket holds) is sent into a
      # server that reads nothing.
      kill -STOP "$XVFB_PID"
      sleep 1.5
    fi
  fi
  kill -s "$signal" "$XVFB_PID"
  wait "$XVFB_PID" 2>/dev/null || true
  saver_exits_with 1 1
  lines=$(wc -l <"$WORK/saver.err")
  ((lines <= 1)) || fail "$placement: $lines lines on stderr: $(cat "$WORK/saver.err")"
  # The dialog is GTK's; it says what happened as the saver does.
  [[ $placement != options || $(cat "$WORK/saver.err") == "orbidial: lost the connection to the X display" ]] ||
    fail "options: stderr: $(cat "$WORK/saver.err")"
  echo "$placement, server SIG$signal: status 1, stderr: $(cat "$WORK/saver.err")"
  [[ -z $(ls -A "$WORK/cwd") ]] || fail "$placement: left $(ls -A "$WORK/cwd")"
  rm -f "$WORK/parent"
  [[ $placement == options ]] && export E2E_XVFB_ARGS="-extension MIT-SHM"
  start_xvfb
done
echo "ok"
