#!/usr/bin/env bash
# An X error the saver did not expect is written to stderr once, naming the
# request and the error, however often it recurs, and the saver runs on:
# every frame here is put into a window that does not exist, with shared
# memory and without.
# shellcheck source=../e2e/lib.sh
source "$(dirname "$0")/../e2e/lib.sh"

# The clock runs: each frame puts what changed, and each put is an error.
unset ORBIDIAL_TEST_TIME
# calls WHAT N: the fault library has counted N calls of WHAT at least.
calls() { (($(grep -cx "$1" "$WORK/count" 2>/dev/null || true) >= $2)); }
# The fault library loads before a sanitizer build's runtime.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
for server in shm noshm; do
  if [[ $server == noshm ]]; then
    kill "$XVFB_PID"
    wait "$XVFB_PID" 2>/dev/null || true
    export E2E_XVFB_ARGS="-extension MIT-SHM"
    start_xvfb
    request=X_PutImage
  else
    request=X_ShmPutImage
  fi
  rm -f "$WORK/count"
  LD_PRELOAD=$E2E_FAULT_PRELOAD ORBIDIAL_FAULT_X_DRAWABLE=$((0x1fffff0)) ORBIDIAL_FAULT_COUNT=$WORK/count \
    start_saver
  # The first frame and three more (each reads the clock), with their puts.
  wait_for "four frames" "$E2E_WAIT" calls time 5
  calls put 2 || fail "$server: no frame was put"
  saver_running "frames into a window that is not there"
  grep -q "keyboard" "$WORK/saver.err" && fail "the keyboard was not grabbed: $(cat "$WORK/saver.err")"
  [[ $(wc -l <"$WORK/saver.err") == 1 ]] || fail "$server: expected one line, got: $(cat "$WORK/saver.err")"
  grep -q "BadDrawable.* in $request" "$WORK/saver.err" || fail "$server: $(cat "$WORK/saver.err")"
  echo "$server: $(cat "$WORK/saver.err")"
  xdotool key Escape
  saver_exits_with 0
done
echo "ok"
