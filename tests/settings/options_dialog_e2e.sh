#!/usr/bin/env bash
# The options dialog end to end, in a private Xvfb driven with xdotool: it
# opens with the stored states, the numeral box cycles through three states,
# OK and Enter save what the boxes show, Esc saves nothing, the link starts
# one launcher per click, a folder that cannot be written shows the warning
# (and the system's reason on stderr),
# and an owner window id makes the dialog its transient.
# Each step waits for what it needs (the dialog mapped and focused, its
# pixels drawn) up to a time limit, never a fixed time.
#   options_dialog_e2e.sh DIALOG-PROGRAM [SCREENSHOT-FOLDER]
set -euo pipefail
source "$(dirname "$0")/../e2e/x_server.sh"
# GTK and fontconfig keep memory to the end on purpose: a sanitizer build
# does not look for leaks in the dialog.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0

dialog_program=$(realpath "$1")
shots=${2:-.}
mkdir -p "$shots"
work=$(mktemp -d /tmp/orbidial-e2e-XXXXXX)
chmod 755 "$work"
dialog_pid='' owner_pid=''

cleanup() {
  for pid in $dialog_pid $owner_pid ${XVFB_PID:-}; do kill "$pid" 2>/dev/null || true; done
  wait 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

fail() { echo "FAIL: $*" >&2; exit 1; }

start_x_server "$work/xvfb.log" "$(e2e_displays)" -nolisten tcp -noreset -screen 0 1024x768x24 ||
  fail "no X server: $(cat "$work/xvfb.log")"

export HOME=$work/home XDG_CONFIG_HOME=$work/config NO_AT_BRIDGE=1
mkdir -p "$HOME" "$XDG_CONFIG_HOME"
ini=$XDG_CONFIG_HOME/OrbDial.ini
run_as=()

# Starts the dialog and waits until it is on the screen with the keyboard
# focus; $window is its id.
open_dialog() {
  "${run_as[@]}" "$dialog_program" "$@" >"$work/dialog.out" 2>"$work/dialog.err" &
  dialog_pid=$!
  window=$(find_window 10 --class orbidial) ||
    fail "the dialog did not appear"
  xdotool windowfocus --sync "$window" || fail "the dialog did not take the focus"
}

# Waits for the dialog to end and checks its end code (1 OK, 2 cancel).
expect_end() {
  local code=0
  wait "$dialog_pid" || code=$?
  dialog_pid=
  [[ $code == "$1" ]] || fail "dialog ended with $code, expected $1: $(cat "$work/dialog.err")"
  if grep -q -i -E "x error|badwindow|critical" "$work/dialog.err"; then
    fail "the dialog complained: $(cat "$work/dialog.err")"
  fi
}

click() { xdotool mousemove --window "$window" "$1" "$2" click 1; }
key() { xdotool windowfocus --sync "$window" key "$1"; }
click_color_box() { click 40 137; }
click_han_box() { click 110 137; }
click_ok() { click 246 140; }

# The drawn parts stand where the template puts them: the grey separator at
# y 105 and the blue link line. The screen shot into FILE comes to show them
# within 10 s.
check_pixels() {
  local x y grey blue deadline=$((SECONDS + 10)) looked
  eval "$(xdotool getwindowgeometry --shell "$window" | grep -E '^(X|Y)=')"
  x=$X y=$Y
  while :; do
    looked=$SECONDS
    import -window root "$1"
    grey=$(convert "$1" -crop "300x1+$((x + 2))+$((y + 105))" txt:- | grep -c '#C8C8C8' || true)
    blue=$(convert "$1" -crop "170x16+$((x + 95))+$((y + 75))" txt:- | grep -c -E '#[0-5][0-9A-F][0-5][0-9A-F][C-F][0-9A-F]' || true)
    ((grey >= 290 && blue >= 20)) && return 0
    ((looked < deadline)) || fail "separator: $grey grey pixels at y 105, link line: $blue blue pixels"
    sleep 0.05
  done
}

expect_file() {
  local want=$1 got
  got=$(cat "$ini")
  [[ "$got" == "$want" ]] || fail "settings file holds [$got], expected [$want]"
}

echo "opens with the stored states and OK writes back what they show"
for stored in "Color=0 Han=2" "Color=1 Han=0" "Color=5 Han=1"; do
  read -r color han <<<"$stored"
  printf '[Setting]\n%s\n%s\n' "$color" "$han" >"$ini"
  open_dialog
  key Return
  expect_end 1
  [[ $color == Color=5 ]] && color=Color=1
  expect_file "$(printf '[Setting]\n%s\n%s' "$color" "$han")"
done

echo "the numeral box cycles clear, ticked, indeterminate, clear"
for clicks in 1 2 3; do
  printf '[Setting]\nColor=1\nHan=0\n' >"$ini"
  open_dialog
  for _ in $(seq "$clicks"); do click_han_box; done
  click_ok
  expect_end 1
  expect_file "$(printf '[Setting]\nColor=1\nHan=%d' $((clicks % 3)))"
done

echo "Enter on a check box confirms; the first save creates the file"
rm -f "$ini"
open_dialog
click_color_box
key Return
expect_end 1
expect_file "$(printf '[Setting]\nColor=0\nHan=1')"

echo "the focus starts on the colour box; Tab goes on to OK, then the numeral box"
printf '[Setting]\nColor=1\nHan=2\n' >"$ini"
open_dialog
key space
key Return
expect_end 1
expect_file "$(printf '[Setting]\nColor=0\nHan=2')"
open_dialog
key Tab
key Tab
key space
key Return
expect_end 1
expect_file "$(printf '[Setting]\nColor=0\nHan=0')"

echo "Esc saves nothing"
printf '; kept\r\n[Setting]\r\nColor=1\r\nHan=2\r\n' >"$ini"
cp "$ini" "$work/before"
open_dialog
click_color_box
click_han_box
key Escape
expect_end 2
cmp -s "$ini" "$work/before" || fail "Esc changed the settings file"

echo "each click on the link starts one launcher with the address"
cat >"$work/launcher" <<LAUNCHER
#!/bin/sh
printf '%s|%s\n' "\$#" "\$1" >>"$work/launches"
LAUNCHER
chmod 755 "$work/launcher"
open_dialog --launcher "$work/launcher"
click 95 82
click 150 82
click 264 89
key Escape
expect_end 2
[[ $(wc -l <"$work/launches") == 2 ]] || fail "launches: $(cat "$work/launches")"
grep -q -v '^1|file://.*README.md$' "$work/launches" && fail "launcher got: $(cat "$work/launches")"

echo "owned by the window the command line names; a bad id is ignored"
xclock &
owner_pid=$!
owner=$(find_window 10 --class xclock) || fail "xclock did not appear"
open_dialog "$owner"
xprop -id "$window" WM_TRANSIENT_FOR | grep -q -i "$(printf '0x%x' "$owner")" ||
  fail "not transient for $owner: $(xprop -id "$window" WM_TRANSIENT_FOR)"
key Escape
expect_end 2
kill "$owner_pid"; wait "$owner_pid" 2>/dev/null || true; owner_pid=
open_dialog 123456789
key Escape
expect_end 2

echo "a settings folder that cannot be written shows the warning once"
printf '[Setting]\nColor=1\nHan=1\n' >"$ini"
cp "$ini" "$work/before"
chmod 755 "$HOME" "$XDG_CONFIG_HOME"
chmod 644 "$ini"
chmod 555 "$XDG_CONFIG_HOME"
if [[ $(id -u) == 0 ]]; then
  # Permissions do not bind root; the dialog runs as an ordinary user.
  mkdir -p "$work/nobody"
  chown 65534:65534 "$work/nobody"
  run_as=(setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$work/nobody")
fi
# An icon file that cannot be read changes nothing: the dialog opens as ever.
open_dialog --icon "$work/no-such-icon.png"
check_pixels "$shots/options-dialog.png"
click_han_box
click_ok
warning=$(find_window 10 --name '^Orbidial$') ||
  fail "no warning box"
xdotool windowfocus --sync "$warning"
import -window root "$shots/options-warning.png"
[[ $(windows --onlyvisible --name '^Orbidial$' | wc -l) == 1 ]] || fail "more than one warning"
xdotool windowfocus --sync "$warning" key Return
expect_end 1
cmp -s "$ini" "$work/before" || fail "the failed save changed the file"
# Beside the fixed warning, the system's own reason.
grep -qxF "orbidial: the settings were not saved: $ini: Permission denied" "$work/dialog.err" ||
  fail "no reason on stderr: $(cat "$work/dialog.err")"
chmod 755 "$XDG_CONFIG_HOME"
run_as=()

echo "all passed; screenshots in $shots"
