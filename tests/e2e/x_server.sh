# shellcheck shell=bash
# The one way the tests start an X server: Xvfb on the first free display of
# a list. Xvfb itself tells a free number from a taken one (-displayfd: it
# writes the number once it accepts connections, and ends at once when
# another server holds it), so tests run side by side without each owning a
# display of its own.

# start_x_server LOG DISPLAYS [XVFB ARGS...]: Xvfb on the first display of
# the list DISPLAYS ("610 611 ...") that is free, waiting until it answers
# (10 s at most); exports DISPLAY and sets XVFB_PID. Returns 1, with the last
# server's words in LOG, when none could be had.
start_x_server() {
  local log=$1 n ready fifo
  local -a candidates
  read -r -a candidates <<<"$2"
  shift 2
  fifo=$(mktemp -u "${TMPDIR:-/tmp}/orbidial-displayfd.XXXXXX")
  for n in "${candidates[@]}"; do
    mkfifo "$fifo"
    Xvfb ":$n" -displayfd 3 "$@" 3>"$fifo" >"$log" 2>&1 &
    XVFB_PID=$!
    ready=
    read -r -t 10 ready <"$fifo" || true
    rm -f "$fifo"
    if [[ $ready == "$n" ]]; then
      export DISPLAY=:$n
      return 0
    fi
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
  done
  XVFB_PID=
  return 1
}

# The displays the tests take, from the first CTest was configured with
# (ORBIDIAL_E2E_DISPLAY_BASE, test_environment.cmake) or else from 43.
e2e_displays() {
  local first=${E2E_DISPLAY_BASE:-43}
  seq -s ' ' "$first" $((first + 19))
}
