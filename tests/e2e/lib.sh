# Shared by the end-to-end tests. Arguments of every test:
#   DISPLAY ORBIDIAL ORBIDIAL_RENDER XPROBE SHOTS_DIR
# Starts a private Xvfb at 1920x1080x24 (E2E_SCREEN, E2E_DEPTH and
# E2E_XVFB_ARGS change it; -noreset, since a server that resets when its last client leaves
# refuses the next one for a moment) and stops it (and anything the test started) on exit.
set -euo pipefail

E2E_DISPLAY=$1 ORBIDIAL=$2 RENDER=$3 XPROBE=$4 SHOTS=$5
TEST_NAME=$(basename "$0" .sh)
mkdir -p "$SHOTS"
WORK=$(mktemp -d)
STARTED=()
# A settings folder of the test's own, never the user's.
export XDG_CONFIG_HOME=$WORK/config

cleanup() {
  local pid
  for pid in "${STARTED[@]}"; do kill "$pid" 2>/dev/null || true; done
  [[ -n "${XVFB_PID:-}" ]] && kill "$XVFB_PID" 2>/dev/null || true
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "FAIL ($TEST_NAME): $*" >&2
  exit 1
}

# start_xvfb: the test's X server on E2E_DISPLAY; XVFB_PID. Called once
# here, and again by a test that has killed it.
start_xvfb() {
  if DISPLAY=$E2E_DISPLAY xdpyinfo >/dev/null 2>&1; then
    fail "display $E2E_DISPLAY is already in use"
  fi
  # shellcheck disable=SC2086
  Xvfb "$E2E_DISPLAY" -screen 0 "${E2E_SCREEN:-1920x1080}x${E2E_DEPTH:-24}" -nolisten tcp -noreset ${E2E_XVFB_ARGS:-} \
    >"$WORK/xvfb.log" 2>&1 &
  XVFB_PID=$!
  export DISPLAY=$E2E_DISPLAY
  for _ in $(seq 100); do
    xdpyinfo >/dev/null 2>&1 && break
    kill -0 "$XVFB_PID" 2>/dev/null || fail "Xvfb did not start on $E2E_DISPLAY: $(cat "$WORK/xvfb.log")"
    sleep 0.05
  done
  kill -0 "$XVFB_PID" 2>/dev/null && xdpyinfo >/dev/null 2>&1 || fail "Xvfb did not answer on $E2E_DISPLAY: $(cat "$WORK/xvfb.log")"
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

# wait_first_frame X Y W H: some pixel of the rectangle lights up (within
# 10 s: a start on a loaded machine is slow).
wait_first_frame() {
  "$XPROBE" wait-nonblack "$@" 10000 || fail "no frame appeared in $*"
}

# saver_exits_with STATUS [SECONDS]: the saver ends in time with STATUS.
saver_exits_with() {
  local want=$1 limit=${2:-3} i status
  for ((i = 0; i < limit * 20; i++)); do
    if ! kill -0 "$SAVER_PID" 2>/dev/null; then
      status=0
      wait "$SAVER_PID" || status=$?
      [[ $status == "$want" ]] || fail "saver ended with $status, expected $want"
      return 0
    fi
    sleep 0.05
  done
  fail "saver still running after ${limit}s"
}

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

# same_image A B [FUZZ]: the two images are pixel-identical (or within
# FUZZ per pixel, e.g. 3%).
same_image() {
  local diff
  diff=$(compare -metric AE ${3:+-fuzz "$3"} "$1" "$2" null: 2>&1 || true)
  [[ $diff == 0 ]] || fail "$(basename "$1") differs from $(basename "$2") in $diff pixels"
}

# shows REFERENCE [SECONDS]: the screen comes to equal REFERENCE within
# SECONDS (default 2); the last screenshot is kept as NAME-now.png.
shows() { shows_in "$1" "" "${2:-2}"; }

# shows_in REFERENCE GEOMETRY [SECONDS]: the rectangle GEOMETRY (WxH+X+Y,
# or "" for the whole screen) comes to equal REFERENCE within SECONDS
# (default 2); within SHOWS_FUZZ per pixel where set (a 16-bit screen).
shows_in() {
  local reference=$1 geometry=$2 limit=${3:-2} file diff i name
  name=$(basename "$reference" -reference.png)
  file="$SHOTS/$TEST_NAME-${name#"$TEST_NAME"-}-now.png"
  for ((i = 0; i < limit * 10; i++)); do
    import -window root ${geometry:+-crop "$geometry"} +repage "$file"
    diff=$(compare -metric AE ${SHOWS_FUZZ:+-fuzz "$SHOWS_FUZZ"} "$file" "$reference" null: 2>&1 || true)
    [[ $diff == 0 ]] && return 0
    sleep 0.1
  done
  fail "${geometry:-the screen} did not come to show $(basename "$reference") within ${limit}s ($diff pixels differ)"
}

# start_parent W H: a grey W x H window of another client at (100, 100), as
# a preview's or a hack's host; PARENT (its id) and PARENT_PID.
start_parent() {
  rm -f "$WORK/parent"
  "$XPROBE" parent "$1" "$2" >"$WORK/parent" &
  PARENT_PID=$!
  STARTED+=("$PARENT_PID")
  for _ in $(seq 100); do [[ -s "$WORK/parent" ]] && break; sleep 0.02; done
  PARENT=$(cat "$WORK/parent")
  [[ -n $PARENT ]] || fail "no parent window"
}

# differ_image A B
differ_image() {
  local diff
  diff=$(compare -metric AE "$1" "$2" null: 2>&1 || true)
  [[ $diff != 0 ]] || fail "$(basename "$1") equals $(basename "$2")"
}

# reference NAME ARGS...: what orbidial-render draws for ARGS.
reference() {
  local file="$SHOTS/$TEST_NAME-$1-reference.png"
  shift
  "$RENDER" "$@" -o "$file" >/dev/null
  echo "$file"
}
