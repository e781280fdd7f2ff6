# shellcheck shell=bash
# Shared by the end-to-end tests. Arguments of every test:
#   ORBIDIAL ORBIDIAL_RENDER XPROBE SHOTS_DIR
# Starts a private Xvfb at 1920x1080x24 on the first free display
# (x_server.sh; E2E_SCREEN, E2E_DEPTH and E2E_XVFB_ARGS change it; -noreset,
# since a server that resets when its last client leaves refuses the next one
# for a moment) and stops it (and anything the test started) on exit.
# Nothing here sleeps a fixed time before it looks: each check waits for what
# it needs (a window, a frame, a picture) up to a time limit, E2E_WAIT
# seconds by default (10: a loaded machine or a sanitizer build is slow),
# and fails only on a look begun after the limit (pictures.sh).
set -euo pipefail
source "$(dirname "${BASH_SOURCE[0]}")/x_server.sh"
source "$(dirname "${BASH_SOURCE[0]}")/pictures.sh"

ORBIDIAL=$1 RENDER=$2 XPROBE=$3 SHOTS=$4
# E2E_VARIANT tells apart the files of one script run several ways at once.
TEST_NAME=$(basename "$0" .sh)${E2E_VARIANT:+-$E2E_VARIANT}
mkdir -p "$SHOTS"
WORK=$(mktemp -d)
STARTED=()
# A settings folder of the test's own, never the user's.
export XDG_CONFIG_HOME=$WORK/config

cleanup() {
  local pid
  for pid in "${STARTED[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [[ -n "${XVFB_PID:-}" ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL ($TEST_NAME): $*" >&2
  exit 1
}

# start_xvfb: the test's X server; DISPLAY and XVFB_PID. Called once here,
# and again by a test that has killed it.
start_xvfb() {
  # shellcheck disable=SC2086 # E2E_XVFB_ARGS holds several arguments
  start_x_server "$WORK/xvfb.log" "$(e2e_displays)" \
    -screen 0 "${E2E_SCREEN:-1920x1080}x${E2E_DEPTH:-24}" -nolisten tcp -noreset ${E2E_XVFB_ARGS:-} ||
    fail "no X server on any of the displays $(e2e_displays): $(cat "$WORK/xvfb.log")"
}
start_xvfb

# store_settings COLOR HAN: the settings file the saver reads at start.
store_settings() {
  mkdir -p "$XDG_CONFIG_HOME"
  printf '[Setting]\nColor=%s\nHan=%s\n' "$1" "$2" >"$XDG_CONFIG_HOME/OrbDial.ini"
}

# start_saver ARGS...: runs the saver in the background; SAVER_PID.
start_saver() {
  "$ORBIDIAL" "$@" >"$WORK/saver.out" 2>"$WORK/saver.err" &
  SAVER_PID=$!
  STARTED+=("$SAVER_PID")
}

# start_dialog [ARGS...]: the options dialog (orbidial ARGS, by default /c)
# as start_saver, and waits until it is on the screen with the keyboard
# focus; DIALOG is its window. GTK and fontconfig keep memory to the end on
# purpose, so a sanitizer build does not look for leaks in it.
start_dialog() {
  (($#)) || set -- /c
  ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0 start_saver "$@"
  DIALOG=$(wait_window '^关于$')
  xdotool windowfocus --sync "$DIALOG" || fail "the dialog did not take the focus"
}

# wait_window NAME: the id of the first visible window whose name matches
# the pattern NAME, once there is one.
wait_window() {
  find_window "$E2E_WAIT" --name "$1" ||
    fail "no window named $1 within ${E2E_WAIT}s"
}

# wait_first_frame X Y W H: some pixel of the rectangle lights up.
wait_first_frame() {
  "$XPROBE" wait-nonblack "$@" $((E2E_WAIT * 1000)) || fail "no frame appeared in $*"
}

# wait_count X Y W H RRGGBB N: the rectangle comes to hold exactly N pixels
# of the colour.
wait_count() {
  local deadline=$((SECONDS + E2E_WAIT)) count looked
  until looked=$SECONDS && count=$("$XPROBE" count "$1" "$2" "$3" "$4" "$5") && ((count == $6)); do
    ((looked < deadline)) || fail "$count pixels of #$5 in $3x$4+$1+$2, not $6, after ${E2E_WAIT}s"
    sleep 0.03
  done
}

# saver_exits_with STATUS [SECONDS]: the saver ends in time with STATUS.
saver_exits_with() {
  local want=$1 limit=${2:-3} i status
  need_seconds saver_exits_with "$limit"
  for ((i = 0; i < limit * 20; i++)); do
    if ! kill -0 "$SAVER_PID" 2>/dev/null; then
      status=0
      wait "$SAVER_PID" || status=$?
      [[ $status == "$want" ]] || fail "saver ended with $status, expected $want: $(cat "$WORK/saver.err")"
      return 0
    fi
    sleep 0.05
  done
  fail "saver still running after ${limit}s"
}

# saver_running WHAT: the saver is still there a moment after WHAT. Only for
# what must not end it; a check that something happened waits for it instead.
saver_running() {
  sleep 0.3
  kill -0 "$SAVER_PID" 2>/dev/null || fail "saver ended after: $*"
}

# shot NAME [GEOMETRY]: screenshot of the screen (or a crop) into SHOTS.
shot() {
  local file="$SHOTS/$TEST_NAME-$1.png"
  import -window root ${2:+-crop "$2"} +repage "$file"
  echo "$file"
}

# take_picture FILE GEOMETRY: the screen, or its rectangle GEOMETRY
# (WxH+X+Y), into FILE (for the checks of pictures.sh).
take_picture() {
  [[ -z $2 || $2 =~ ^[0-9]+x[0-9]+\+[0-9]+\+[0-9]+$ ]] || fail "'$2' is not a rectangle WxH+X+Y"
  import -window root ${2:+-crop "$2"} +repage "$1"
}

# start_parent W H: a grey W x H window of another client at (100, 100), as
# a preview's or a hack's host; PARENT (its id) and PARENT_PID.
start_parent() {
  rm -f "$WORK/parent"
  mkfifo "$WORK/parent"
  "$XPROBE" parent "$1" "$2" >"$WORK/parent" &
  PARENT_PID=$!
  STARTED+=("$PARENT_PID")
  PARENT=
  read -r -t "$E2E_WAIT" PARENT <"$WORK/parent" || true
  [[ -n $PARENT ]] || fail "no parent window"
}
