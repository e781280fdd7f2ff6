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

# find_window SECONDS SEARCH...: prints the id of the first visible window
# that `xdotool search SEARCH...` finds, once there is one; returns 1 when
# none showed within SECONDS (on a look begun after that). Each look is a
# search of its own: this xdotool ends a search with BadWindow when any
# window goes away while it walks the tree (Wine makes and drops windows as
# a program starts), and `search --sync` would end with it, finding nothing.
find_window() {
  local deadline=$((SECONDS + $1)) limit=$1 looked id
  shift
  until looked=$SECONDS && id=$(timeout "$limit" xdotool search --onlyvisible "$@" 2>/dev/null | head -1) &&
    [[ -n $id ]]; do
    ((looked < deadline)) || return 1
    sleep 0.2
  done
  echo "$id"
}

# windows SEARCH...: every window `xdotool search SEARCH...` finds, the
# search made again while a window going away spoils it (as above).
windows() {
  local err ids _
  err=$(mktemp)
  for _ in $(seq 20); do
    ids=$(xdotool search "$@" 2>"$err") || true
    grep -q BadWindow "$err" || break
  done
  rm -f "$err"
  [[ -z $ids ]] || echo "$ids"
}
