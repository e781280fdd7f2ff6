# shellcheck shell=bash
# Shared by the Wayland tests: a headless compositor of the test's own (sway,
# or weston for the compositors without layer-shell), driven from the test.
# Arguments of every test:
#   ORBIDIAL ORBIDIAL_RENDER SHOTS_DIR
#
# sway refuses to run as root and CI runs as root: the compositors (and the
# helpers that must look like its user's programs) run as nobody, with a
# runtime folder and a config of their own; the programs under test run as
# the test's user and reach the compositor through its socket.
#
# As root, the whole test runs in namespaces of its own: a private /tmp and
# network, so that sway's XWayland, which takes the first X display number
# without a lock file in /tmp (and its abstract socket), can neither take a
# number another test's Xvfb is about to use nor find one taken; and a
# private process tree, so that nothing the test started outlives it.
set -euo pipefail

if [[ $(id -u) == 0 && -z ${WL_NAMESPACED:-} ]]; then
  exec env WL_NAMESPACED=1 unshare --mount --net --pid --fork --kill-child --mount-proc -- bash "$0" "$@"
fi

ORBIDIAL=$1 RENDER=$2 SHOTS=$3
TEST_NAME=$(basename "$0" .sh)
source "$(dirname "${BASH_SOURCE[0]}")/../e2e/pictures.sh"

if [[ -n ${WL_NAMESPACED:-} ]]; then
  # A fresh /tmp for this namespace; whatever the test needs from the old one
  # (a build or checkout under /tmp) is bound back from it under its own name.
  exec 9</tmp
  mount -t tmpfs -o mode=1777 wayland-test-tmp /tmp
  for path in "$0" "$ORBIDIAL" "$RENDER" "$SHOTS"; do
    path=$(realpath -m "$path")
    [[ $path == /tmp/* ]] || continue
    top=${path#/tmp/}
    top=${top%%/*}
    [[ -e /tmp/$top ]] && continue
    mkdir -p "/tmp/$top"
    # Without --no-canonicalize mount would resolve the link to the new /tmp.
    mount --no-canonicalize --bind "/proc/self/fd/9/$top" "/tmp/$top"
  done
  exec 9<&-
  mkdir -m 1777 /tmp/.X11-unix
  ip link set lo up 2>/dev/null || true
fi

mkdir -p "$SHOTS"
WORK=$(mktemp -d)
chmod 755 "$WORK"
STARTED=()
COMPOSITOR_PID=
WL_USER=()
if [[ $(id -u) == 0 ]]; then
  WL_USER=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
# The compositor's runtime folder; its sockets are the test's only way in.
export XDG_RUNTIME_DIR=$WORK/run
mkdir -m 700 "$XDG_RUNTIME_DIR" "$WORK/home"
[[ ${#WL_USER[@]} == 0 ]] || chown 65534:65534 "$XDG_RUNTIME_DIR" "$WORK/home"
# The programs under test see only the compositor, never an X server of the
# session that runs the test, and keep their settings in the test's folder.
unset DISPLAY WAYLAND_DISPLAY SWAYSOCK
export XDG_CONFIG_HOME=$WORK/config NO_AT_BRIDGE=1
mkdir -p "$XDG_CONFIG_HOME"

wl_cleanup() {
  local pid
  for pid in "${STARTED[@]}"; do kill "$pid" 2>/dev/null || true; done
  if [[ -n $COMPOSITOR_PID ]]; then
    # The compositor ends its own helpers (XWayland, swaybg) as it goes.
    kill "$COMPOSITOR_PID" 2>/dev/null || true
  fi
  wait 2>/dev/null || true
  rm -rf "$WORK"
}
trap wl_cleanup EXIT

fail() {
  echo "FAIL ($TEST_NAME): $*" >&2
  [[ -f $WORK/compositor.log ]] && tail -5 "$WORK/compositor.log" >&2
  exit 1
}

# as_compositor_user CMD...: CMD as the compositor's user, with a clean
# environment (the compositor must not find the caller's X or Wayland).
as_compositor_user() {
  "${WL_USER[@]}" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 HOME="$WORK/home" \
    XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" ${WAYLAND_DISPLAY:+WAYLAND_DISPLAY=$WAYLAND_DISPLAY} "$@"
}

# spawn_as_compositor_user LOG CMD...: the same in the background, output to
# LOG; SPAWNED_PID is CMD's own process (setpriv and env exec it).
spawn_as_compositor_user() {
  local log=$1
  shift
  "${WL_USER[@]}" env -i PATH=/usr/sbin:/usr/bin:/sbin:/bin LANG=C.UTF-8 HOME="$WORK/home" \
    XDG_RUNTIME_DIR="$XDG_RUNTIME_DIR" ${WAYLAND_DISPLAY:+WAYLAND_DISPLAY=$WAYLAND_DISPLAY} "$@" \
    >"$log" 2>&1 &
  SPAWNED_PID=$!
}

wayland_socket() {
  local socket
  for socket in "$XDG_RUNTIME_DIR"/wayland-*; do
    [[ -S $socket ]] && { basename "$socket"; return 0; }
  done
  return 1
}

# start_sway [--xwayland] [--no-output]: a headless sway with one 1280x720
# output, HEADLESS-1 (none with --no-output; sway 1.7 can add outputs but not
# take one away); exports WAYLAND_DISPLAY and SWAYSOCK, and with --xwayland the
# DISPLAY of its XWayland. A virtual pointer is put on its seat (see click).
# SWAY_CONFIG_EXTRA holds more lines of config (bindings, say); commands it
# runs run as the compositor's user, who may write in XDG_RUNTIME_DIR.
# shellcheck disable=SC2120 # its options are its own
start_sway() {
  local xwayland=disable outputs=1 arg
  for arg in "$@"; do
    case $arg in
      --xwayland) xwayland=force ;;
      --no-output) outputs=0 ;;
      *) fail "start_sway: $arg?" ;;
    esac
  done
  X_SOCKETS_BEFORE=$(printf '%s\n' /tmp/.X11-unix/X*)
  cat >"$WORK/sway.conf" <<CONF
xwayland $xwayland
default_border none
default_floating_border none
output * bg #000000 solid_color
${SWAY_CONFIG_EXTRA:-}
CONF
  spawn_as_compositor_user "$WORK/compositor.log" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=$outputs \
    sway -c "$WORK/sway.conf"
  COMPOSITOR_PID=$SPAWNED_PID
  wait_for "sway's socket" 10 wayland_socket
  WAYLAND_DISPLAY=$(wayland_socket)
  SWAYSOCK=$(echo "$XDG_RUNTIME_DIR"/sway-ipc.*.sock)
  export WAYLAND_DISPLAY SWAYSOCK
  wait_for "sway's IPC" 10 swaymsg -t get_version
  # wayvnc needs an output to start: without one, the first add_output
  # starts it.
  ((outputs == 0)) || start_virtual_pointer
  if [[ $xwayland == force ]]; then
    wait_for "XWayland" 10 x_socket
    DISPLAY=:$(x_socket)
    export DISPLAY
    # XWayland lets in only its own user's clients; the test's programs
    # run as the test's user.
    wait_for "XWayland's answer" 10 as_compositor_user DISPLAY="$DISPLAY" xhost "+si:localuser:$(id -un)"
  fi
}

# x_socket: the number of the X socket that was not there before sway.
x_socket() {
  local socket
  for socket in /tmp/.X11-unix/X*; do
    [[ -S $socket ]] || continue
    grep -qxF "$socket" <<<"$X_SOCKETS_BEFORE" && continue
    echo "${socket##*/X}"
    return 0
  done
  return 1
}

# Headless sway's seat has no pointer, and a seat without one gives clients
# none: wayvnc puts a virtual pointer (and keyboard) on the seat, which
# sway's own "seat cursor" commands then move and press. It listens on a
# socket in the runtime folder only.
VIRTUAL_POINTER_PID=
start_virtual_pointer() {
  [[ -z $VIRTUAL_POINTER_PID ]] || return 0
  spawn_as_compositor_user "$WORK/wayvnc.log" wayvnc --unix-socket "$XDG_RUNTIME_DIR/vnc.sock"
  VIRTUAL_POINTER_PID=$SPAWNED_PID
  STARTED+=("$SPAWNED_PID")
  wait_for "the virtual pointer" 10 seat_has_pointer
}

seat_has_pointer() {
  swaymsg -t get_seats -r | jq -e '[.[0].devices[] | select(.type == "pointer")] | length > 0'
}

# swaycmd CMD...: one sway command, which must succeed.
swaycmd() {
  swaymsg -q -- "$@" || fail "sway refused: $*"
}

# start_nested_sway N: a sway with N outputs that can be taken away, which
# the headless ones cannot (sway 1.7 answers "output NAME disable" with
# success and leaves them on): an outer headless sway as the screen, and the
# sway under test on it through wlroots' Wayland back end, its outputs WL-1
# .. WL-N each a window of the outer one, sized (nested_output_size) and
# closed (unplug_output) there. Exports the inner sway's WAYLAND_DISPLAY and
# SWAYSOCK. Starts where no compositor runs (the first, or after one's end).
start_nested_sway() {
  rm -f "$XDG_RUNTIME_DIR"/wayland-* "$XDG_RUNTIME_DIR"/sway-ipc.*
  unset WAYLAND_DISPLAY SWAYSOCK
  cat >"$WORK/outer.conf" <<CONF
xwayland disable
default_border none
default_floating_border none
output * bg #000000 solid_color resolution 3200x1200
for_window [app_id=".*"] floating enable
CONF
  spawn_as_compositor_user "$WORK/outer.log" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_HEADLESS_OUTPUTS=1 \
    sway -c "$WORK/outer.conf"
  STARTED+=("$SPAWNED_PID")
  wait_for "the outer sway's socket" 10 wayland_socket
  OUTER_SWAYSOCK=$(sway_ipc_socket "$SPAWNED_PID")
  wait_for "the outer sway's IPC" 10 swaymsg -s "$OUTER_SWAYSOCK" -t get_version
  printf '%s\n' "xwayland disable" "output * bg #000000 solid_color" >"$WORK/sway.conf"
  WAYLAND_DISPLAY=$(wayland_socket) spawn_as_compositor_user "$WORK/compositor.log" \
    WLR_BACKENDS=wayland WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman WLR_WL_OUTPUTS="$1" \
    sway -c "$WORK/sway.conf"
  COMPOSITOR_PID=$SPAWNED_PID
  wait_for "the inner sway's IPC" 10 sway_ipc_socket "$COMPOSITOR_PID"
  SWAYSOCK=$(sway_ipc_socket "$COMPOSITOR_PID")
  export SWAYSOCK
  wait_for "the inner sway's outputs" 10 output_count_above $(($1 - 1))
  WAYLAND_DISPLAY=$(inner_socket)
  export WAYLAND_DISPLAY
}

# sway_ipc_socket PID: the IPC socket of the sway of that process.
sway_ipc_socket() {
  local socket
  for socket in "$XDG_RUNTIME_DIR"/sway-ipc.*."$1".sock; do
    [[ -S $socket ]] && echo "$socket" && return 0
  done
  return 1
}

# inner_socket: the Wayland socket that is not the outer sway's.
inner_socket() {
  local socket outer
  outer=$(wayland_socket)
  for socket in "$XDG_RUNTIME_DIR"/wayland-*; do
    [[ -S $socket && ${socket##*/} != "$outer" ]] && echo "${socket##*/}" && return 0
  done
  return 1
}

# nested_output_size NAME WxH: the output's window in the outer sway at
# that size, which the inner sway takes as the output's mode.
nested_output_size() {
  swaymsg -q -s "$OUTER_SWAYSOCK" "[title=\"wlroots - $1\"] resize set width ${2%x*} px height ${2#*x} px" ||
    fail "the outer sway did not resize $1"
  wait_for "output $1 at $2" 5 output_is "$1" "$2" 1
}

# unplug_output NAME: the output goes, as a monitor unplugged.
unplug_output() {
  swaymsg -q -s "$OUTER_SWAYSOCK" "[title=\"wlroots - $1\"] kill" || fail "the outer sway did not close $1"
  wait_for "the end of output $1" 5 output_gone "$1"
}
output_gone() { swaymsg -t get_outputs -r | jq -e --arg n "$1" 'all(.[]; .name != $n)'; }

# add_output: a new headless output; its name in NEW_OUTPUT.
add_output() {
  local before after
  before=$(output_names)
  swaycmd create_output
  wait_for "a new output" 5 output_count_above "$(wc -w <<<"$before")"
  after=$(output_names)
  # shellcheck disable=SC2034 # for the caller
  NEW_OUTPUT=$(comm -13 <(tr ' ' '\n' <<<"$before" | sort) <(tr ' ' '\n' <<<"$after" | sort))
  start_virtual_pointer
}

output_names() { swaymsg -t get_outputs -r | jq -r '[.[].name] | join(" ")'; }
output_count_above() { (($(swaymsg -t get_outputs -r | jq length) > $1)); }

# set_output NAME WxH X Y [SCALE]: mode, place in the layout and scale; waits
# until sway reports them.
set_output() {
  local name=$1 size=$2 x=$3 y=$4 scale=${5:-1}
  swaycmd output "$name" resolution "$size" position "$x" "$y" scale "$scale"
  wait_for "output $name at $size+$x+$y scale $scale" 5 output_is "$name" "$size" "$scale"
}

output_is() {
  swaymsg -t get_outputs -r | jq -e --arg n "$1" --arg s "$2" --argjson scale "$3" \
    '.[] | select(.name == $n) | .current_mode.width as $w | .current_mode.height as $h
       | "\($w)x\($h)" == $s and .scale == $scale'
}

# output_shot NAME FILE-STEM: the output's pixels (device pixels, as the
# output shows them) into SHOTS; prints the file.
output_shot() {
  local file="$SHOTS/$TEST_NAME-$2.png"
  grim -o "$1" "$file" || fail "grim could not take $1"
  echo "$file"
}

# region_shot X,Y WxH FILE-STEM: a rectangle of the layout.
region_shot() {
  local file="$SHOTS/$TEST_NAME-$3.png"
  grim -g "$1 $2" "$file" || fail "grim could not take $1 $2"
  echo "$file"
}

# keys ARGS...: wtype's arguments (-k NAME for a key, -s MS to pause). Each
# run is a new virtual keyboard; a window mapped a moment ago may need a
# pause first.
keys() { wtype "$@" || fail "wtype $*"; }

# click X Y [BUTTON]: a click at a point of the layout (logical pixels);
# BUTTON is button1 (left, default), button3 (right), or button4/button5
# for a wheel turn up/down.
click() {
  swaycmd seat seat0 cursor set "$1" "$2"
  swaycmd seat seat0 cursor press "${3:-button1}"
  # A wheel "button" turns one step on press and another on release.
  [[ ${3:-} == button[4-7] ]] || swaycmd seat seat0 cursor release "${3:-button1}"
}

# park_pointer: the cursor out of the way, at the layout's bottom-right.
park_pointer() {
  local corner
  corner=$(swaymsg -t get_outputs -r | jq -r '(map(.rect.x + .rect.width) | max) as $x
    | (map(.rect.y + .rect.height) | max) as $y | "\($x - 1) \($y - 1)"')
  # shellcheck disable=SC2086
  swaycmd seat seat0 cursor set $corner
}

# window_rect APP_ID: "X Y W H" of the app's window in the layout.
window_rect() {
  swaymsg -t get_tree -r | jq -e -r --arg app "$1" \
    'first(.. | objects | select(.app_id? == $app)) | .rect | "\(.x) \(.y) \(.width) \(.height)"'
}

# wait_window APP_ID: until a window of the app is mapped; sets WINDOW_X
# WINDOW_Y WINDOW_W WINDOW_H.
wait_window() {
  wait_for "a window of $1" 10 window_rect "$1"
  # shellcheck disable=SC2034 # for the caller
  read -r WINDOW_X WINDOW_Y WINDOW_W WINDOW_H < <(window_rect "$1")
}

# start_weston [WxH] [--gl]: weston's headless back end (no layer-shell, no
# seat: it takes no input) as the compositor instead of sway, with
# screenshots allowed (see weston_shot). Exports WAYLAND_DISPLAY. Its pixman
# renderer copies an XRGB8888 buffer's unused byte (0) into the output,
# which weston-screenshooter then reads as alpha and writes as transparent
# black: shots of such clients need --gl (Mesa's software GL).
start_weston() {
  local size=${1:-1280x720} renderer=--use-pixman
  [[ ${2:-} != --gl ]] || renderer=--use-gl
  cat >"$WORK/weston.ini" <<CONF
[core]
idle-time=0
[shell]
panel-position=none
background-color=0xff000000
CONF
  spawn_as_compositor_user "$WORK/compositor.log" weston --backend=headless-backend.so \
    "$renderer" --width="${size%x*}" --height="${size#*x}" --socket=weston-test \
    --config="$WORK/weston.ini" --debug
  COMPOSITOR_PID=$SPAWNED_PID
  wait_for "weston's socket" 10 test -S "$XDG_RUNTIME_DIR/weston-test"
  export WAYLAND_DISPLAY=weston-test
}

# weston_shot FILE-STEM: weston's whole output; prints the file.
weston_shot() {
  local dir=$WORK/screenshooter file="$SHOTS/$TEST_NAME-$1.png"
  rm -rf "$dir"
  mkdir "$dir"
  (cd "$dir" && weston-screenshooter) >/dev/null 2>&1 || fail "weston-screenshooter failed"
  mv "$dir"/*.png "$file"
  echo "$file"
}

# start_phoc [WxH]: phoc (Phosh's compositor, layer-shell and wlroots like
# sway) with one headless output, HEADLESS-1, and no seat. Exports
# WAYLAND_DISPLAY, and a runtime folder of its own (an earlier compositor of
# the test may have left its socket behind).
start_phoc() {
  export XDG_RUNTIME_DIR=$WORK/run-phoc
  mkdir -m 700 "$XDG_RUNTIME_DIR"
  [[ ${#WL_USER[@]} == 0 ]] || chown 65534:65534 "$XDG_RUNTIME_DIR"
  cat >"$WORK/phoc.ini" <<CONF
[core]
xwayland=false
[output:HEADLESS-1]
mode=${1:-1280x720}
CONF
  spawn_as_compositor_user "$WORK/compositor.log" \
    WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman phoc -C "$WORK/phoc.ini"
  COMPOSITOR_PID=$SPAWNED_PID
  wait_for "phoc's socket" 10 wayland_socket
  WAYLAND_DISPLAY=$(wayland_socket)
  export WAYLAND_DISPLAY
}

# start_client ARGS...: a program under test in the background; CLIENT_PID.
start_client() {
  "$@" >"$WORK/client.out" 2>"$WORK/client.err" &
  CLIENT_PID=$!
  STARTED+=("$CLIENT_PID")
}

# client_exits_with STATUS [SECONDS]
client_exits_with() {
  local want=$1 limit=${2:-5} i status
  need_seconds client_exits_with "$limit"
  for ((i = 0; i < limit * 20; i++)); do
    if ! kill -0 "$CLIENT_PID" 2>/dev/null; then
      status=0
      wait "$CLIENT_PID" || status=$?
      [[ $status == "$want" ]] || fail "ended with $status, expected $want: $(cat "$WORK/client.err")"
      return 0
    fi
    sleep 0.05
  done
  fail "still running after ${limit}s"
}

# take_picture FILE OUTPUT: the output's pixels, as it shows them (the
# cursor included: it must be hidden), or with OUTPUT "" the whole layout, into
# FILE (for the checks of pictures.sh).
take_picture() {
  [[ -z $2 || $2 =~ ^[A-Za-z][A-Za-z0-9-]*$ ]] || fail "'$2' is not the name of an output"
  grim -c ${2:+-o "$2"} "$1" 2>/dev/null
}
