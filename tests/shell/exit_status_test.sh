#!/usr/bin/env bash
# Each way the programs fail ends with its own status (orbidial(1)), and
# scripts/run.sh names the cause from it:
#   no display: 1, for the saver and for the options dialog alike (as when
#   the display is lost while they run: tests/fault/x_server_killed.sh);
#   no fonts: 3, for the saver, the options dialog and orbidial-render;
#   no memory to load a font: 4, never taken for a missing font.
# Usage: exit_status_test.sh ORBIDIAL ORBIDIAL_RENDER SOURCE_DIR
set -uo pipefail
orbidial=$1 render=$2 src=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
failures=0
fail() { echo "FAIL: $*"; failures=$((failures + 1)); }
export XDG_CONFIG_HOME=$work/config
# A display number no server has.
nowhere=:$((6000 + RANDOM % 300))
while [[ -e /tmp/.X11-unix/X${nowhere#:} ]]; do nowhere=:$((${nowhere#:} + 1)); done
# A fontconfig that knows no fonts, and no alias file of ours.
printf '<?xml version="1.0"?>\n<!DOCTYPE fontconfig SYSTEM "fonts.dtd">\n<fontconfig></fontconfig>\n' \
  >"$work/no-fonts.conf"
no_fonts=(env FONTCONFIG_FILE="$work/no-fonts.conf" ORBIDIAL_TEST_DATADIR="$work/empty")

# expect NAME STATUS MESSAGE CMD...: CMD ends with STATUS and one line on
# standard error that contains MESSAGE.
expect() {
  local name=$1 want=$2 message=$3 status=0
  shift 3
  "$@" >"$work/out" 2>"$work/err" </dev/null || status=$?
  [[ $status == "$want" ]] || fail "$name: status $status, want $want ($(cat "$work/err"))"
  [[ $(wc -l <"$work/err") == 1 ]] || fail "$name: standard error is not one line: $(cat "$work/err")"
  grep -qF -- "$message" "$work/err" || fail "$name: no \"$message\" in: $(cat "$work/err")"
}
expect "saver, no display" 1 "cannot open the X display \"$nowhere\"" env -u WAYLAND_DISPLAY DISPLAY="$nowhere" "$orbidial"
expect "saver, DISPLAY unset" 1 "cannot open the X display" env -u DISPLAY -u WAYLAND_DISPLAY "$orbidial" /s
expect "saver, no compositor and no X display" 1 "cannot connect to the Wayland compositor \"orbidial-no-compositor\"" \
  env -u DISPLAY WAYLAND_DISPLAY=orbidial-no-compositor XDG_RUNTIME_DIR="$work" "$orbidial"
expect "saver, XDG_RUNTIME_DIR unset" 1 "cannot connect to the Wayland compositor \"wayland-0\": XDG_RUNTIME_DIR is not set" \
  env -u DISPLAY -u XDG_RUNTIME_DIR WAYLAND_DISPLAY=wayland-0 "$orbidial"
expect "options dialog, no display" 1 "cannot open the display" env -u DISPLAY -u WAYLAND_DISPLAY "$orbidial" /c
expect "saver, no fonts" 3 "no font for" "${no_fonts[@]}" DISPLAY="$nowhere" "$orbidial"
expect "options dialog, no fonts" 3 "no font for the options dialog" "${no_fonts[@]}" DISPLAY="$nowhere" "$orbidial" /c
expect "render, no fonts" 3 "no font for" "${no_fonts[@]}" "$render" -o "$work/face.png"
[[ ! -e $work/face.png ]] || fail "render, no fonts: wrote a picture"

# Address space too short to load a font is said as such: under each limit
# the saver either gets past its fonts (to the display it cannot open) or
# says it lacks memory, never that a font is missing; some limit must land
# there. (A sanitizer's runtime reserves its shadow as address space.)
if [[ $(ldd "$orbidial") != *libasan* ]]; then
  statuses=" "
  for ((mib = 16; mib <= 256; mib += 4)); do
    status=0
    (ulimit -v $((mib * 1024)) && exec env -u WAYLAND_DISPLAY DISPLAY="$nowhere" "$orbidial") \
      >"$work/out" 2>"$work/err" </dev/null || status=$?
    statuses+="$status "
    [[ $status != 3 ]] || fail "at $mib MiB a font was taken for missing: $(cat "$work/err")"
    [[ $status != 4 ]] || grep -q "^orbidial: not enough memory to load .* for " "$work/err" ||
      fail "at $mib MiB: $(cat "$work/err")"
    [[ $status != 1 ]] || break
  done
  [[ $statuses == *" 4 "*" 1 " ]] || fail "no limit stopped the fonts for memory: statuses$statuses"
fi

# scripts/run.sh in a tree of its own: its build steps stand still, its
# programs are the ones under test.
tree=$work/tree
mkdir -p "$tree/scripts" "$tree/build/shell"
cp "$src/scripts/run.sh" "$tree/scripts/"
printf '#!/bin/sh\nexit 0\n' >"$tree/scripts/install-deps.sh"
cp "$tree/scripts/install-deps.sh" "$tree/scripts/build.sh"
chmod +x "$tree/scripts/"*.sh
ln -s "$(realpath "$orbidial")" "$tree/build/shell/orbidial"
ln -s "$(realpath "$render")" "$tree/build/shell/orbidial-render"
cp -r "${ORBIDIAL_TEST_DATADIR:?ctest sets it}" "$tree/build/share"

run() {
  local status=0
  "$@" "$tree/scripts/run.sh" >"$work/run.out" 2>&1 || status=$?
  echo "$status"
}
status=$(run env -u WAYLAND_DISPLAY DISPLAY="$nowhere")
[[ $status == 0 ]] || fail "run.sh without a display: status $status: $(cat "$work/run.out")"
grep -qx "the X display $nowhere cannot be opened: drew the current time into $tree/build/orbidial-now.png instead" \
  "$work/run.out" || fail "run.sh without a display said: $(cat "$work/run.out")"
[[ -s $tree/build/orbidial-now.png ]] || fail "run.sh without a display drew nothing"
status=$(run env -u DISPLAY -u WAYLAND_DISPLAY)
grep -q "^no display (neither DISPLAY nor WAYLAND_DISPLAY is set): drew" "$work/run.out" ||
  fail "run.sh with no display said: $(cat "$work/run.out")"
status=$(run env -u DISPLAY WAYLAND_DISPLAY=orbidial-no-compositor XDG_RUNTIME_DIR="$work")
[[ $status == 0 ]] || fail "run.sh without a compositor: status $status: $(cat "$work/run.out")"
grep -q "^the Wayland compositor orbidial-no-compositor cannot be reached: drew" "$work/run.out" ||
  fail "run.sh without a compositor said: $(cat "$work/run.out")"
rm -r "$tree/build/share"
status=$(run env -u WAYLAND_DISPLAY DISPLAY="$nowhere" FONTCONFIG_FILE="$work/no-fonts.conf")
[[ $status == 3 ]] || fail "run.sh without fonts: status $status"
grep -q "the clock's fonts are missing" "$work/run.out" ||
  fail "run.sh without fonts blamed something else: $(cat "$work/run.out")"
! grep -q "display" "$work/run.out" || fail "run.sh without fonts spoke of the display: $(cat "$work/run.out")"

((failures == 0)) && echo "exit statuses: all passed"
exit $((failures > 0))
