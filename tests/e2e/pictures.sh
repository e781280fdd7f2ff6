# shellcheck shell=bash
# The checks every end-to-end test shares, on X11 (lib.sh), Wayland
# (../wayland/lib.sh) and Wine (win32_*.sh): pictures compared with
# ImageMagick, waits with a time limit, and arguments checked, so that a check
# called the wrong way or unable to run fails the test instead of passing it.
# The sourcing library defines
#   fail MESSAGE...          ends the test with the message
#   take_picture FILE WHERE  a screenshot of WHERE (its own kind of place: a
#                            rectangle WxH+X+Y on X, an output's name on
#                            Wayland; "" for everything) into FILE; fails the
#                            test for a WHERE of the wrong kind, returns 1
#                            when no picture could be had yet
# and sets SHOTS (the folder for pictures), TEST_NAME and, for `reference`,
# RENDER (orbidial-render).
# A wait fails only on a look begun after its time limit: on a loaded
# machine one screenshot and its comparison can take as long as the limit,
# and the look begun before what it waits for could have come decides
# nothing.
E2E_WAIT=${E2E_WAIT:-10}

# need_seconds WHAT VALUE: VALUE is a whole number of seconds.
need_seconds() {
  [[ $2 =~ ^[0-9]+$ ]] || fail "$1: '$2' is not a number of seconds"
}

# pixels_differing A B [FUZZ]: how many pixels of the pictures A and B differ
# (by more than FUZZ, e.g. 4%). Ends the test when they cannot be compared (a
# missing or unreadable file): two pictures that are not there do not differ.
# Run it as `count=$(pixels_differing A B) || exit 1`.
pixels_differing() {
  local out status=0
  # compare: 0 alike, 1 different, 2 not compared.
  out=$(compare -metric AE ${3:+-fuzz "$3"} "$1" "$2" null: 2>&1) || status=$?
  if ((status > 1)) || [[ ! $out =~ ^[0-9.]+(e[+-]?[0-9]+)?$ ]]; then
    fail "could not compare $1 with $2: $out"
  fi
  echo "$out"
}

# shows REFERENCE [WHERE] [SECONDS]: WHERE (the whole screen by default)
# comes to equal the picture REFERENCE within SECONDS (default E2E_WAIT; 0
# looks once), pixel for pixel or within SHOWS_FUZZ per pixel (e.g. 4%, a
# 16-bit screen). The last screenshot stays beside the reference, named after
# it.
shows() {
  (($# >= 1 && $# <= 3)) || fail "shows REFERENCE [WHERE] [SECONDS], not: shows $*"
  local reference=$1 where=${2:-} limit=${3:-$E2E_WAIT} file diff=none deadline looked
  need_seconds shows "$limit"
  [[ -s $reference ]] || fail "shows: no reference picture '$reference'"
  file="${reference%-reference.png}-shown${where:+-${where//[^A-Za-z0-9]/_}}.png"
  deadline=$((SECONDS + limit))
  while :; do
    looked=$SECONDS
    if take_picture "$file" "$where"; then
      diff=$(pixels_differing "$file" "$reference" "${SHOWS_FUZZ:-}") || exit 1
      [[ $diff == 0 ]] && return 0
    fi
    ((looked < deadline)) || break
    sleep 0.05
  done
  fail "${where:-the screen} did not come to show $(basename "$reference") within ${limit}s ($diff pixels differ; see $file)"
}

# same_image A B, differ_image A B: the two pictures are (are not) pixel for
# pixel the same.
same_image() {
  local diff
  diff=$(pixels_differing "$1" "$2") || exit 1
  [[ $diff == 0 ]] || fail "$(basename "$1") differs from $(basename "$2") in $diff pixels"
}
differ_image() {
  local diff
  diff=$(pixels_differing "$1" "$2") || exit 1
  [[ $diff != 0 ]] || fail "$(basename "$1") equals $(basename "$2")"
}

# colour_count FILE COLOUR: how many pixels of the picture are exactly
# COLOUR (#RRGGBB). Done in one pass, where a text dump of every pixel takes
# seconds of a loaded machine.
colour_count() {
  convert "$1" -alpha off -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info: || fail "cannot read $1"
}

# reference NAME ARGS...: what orbidial-render draws for ARGS; prints the file.
reference() {
  local file="$SHOTS/$TEST_NAME-$1-reference.png"
  shift
  "$RENDER" "$@" -o "$file" >/dev/null || fail "orbidial-render $* failed"
  echo "$file"
}

# wait_for WHAT SECONDS CMD...: until CMD succeeds (its output goes), or the
# test fails saying WHAT did not come.
wait_for() {
  local what=$1 limit=$2 deadline looked
  need_seconds wait_for "$limit"
  deadline=$((SECONDS + limit))
  shift 2
  until looked=$SECONDS && "$@" >/dev/null 2>&1; do
    ((looked < deadline)) || fail "$what did not come within ${limit}s"
    sleep 0.05
  done
}
