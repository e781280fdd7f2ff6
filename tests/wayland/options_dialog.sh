#!/usr/bin/env bash
# The options dialog as a native Wayland client of headless sway (GTK's
# Wayland back end, no X server anywhere): it shows the stored states, a
# click toggles a box, Enter saves what the boxes show, Escape saves nothing.
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"

start_sway
export GDK_BACKEND=wayland
# GTK and fontconfig keep memory to the end on purpose: a sanitizer build
# does not look for leaks in the dialog.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0
ini=$XDG_CONFIG_HOME/OrbDial.ini

open_dialog() {
  start_client "$ORBIDIAL" /c
  wait_window orbidial
  # A window mapped a moment ago may not have the keyboard's focus yet.
  sleep 0.3
}

expect_file() {
  local got
  got=$(cat "$ini")
  [[ $got == "$1" ]] || fail "settings file holds [$got], expected [$1]"
}

echo "a Wayland window of its own, drawn as under X11"
printf '[Setting]\nColor=1\nHan=1\n' >"$ini"
open_dialog
shell=$(swaymsg -t get_tree -r | jq -r 'first(.. | objects | select(.app_id? == "orbidial")) | .shell')
[[ $shell == xdg_shell ]] || fail "the dialog is a $shell window, not a Wayland one"
park_pointer
shot=$(region_shot "$WINDOW_X,$WINDOW_Y" "${WINDOW_W}x$WINDOW_H" dialog)
# The separator line of the template, grey across the dialog at y 105.
grey=$(convert "$shot" -crop "$((WINDOW_W - 10))x1+5+105" txt:- | grep -c '#C8C8C8' || true)
((grey >= WINDOW_W - 20)) || fail "separator: $grey grey pixels at y 105 of $shot"
# Both boxes ticked: their blue fills stand left of the OK button.
ticks=$(convert "$shot" -crop "160x20+30+128" txt:- | grep -c -E '#[0-6][0-9A-F][6-9A-F][0-9A-F][C-F][0-9A-F]' || true)
((ticks >= 100)) || fail "ticked boxes: $ticks blue pixels in $shot"

echo "a click on the colour box toggles it; Enter saves"
click $((WINDOW_X + 40)) $((WINDOW_Y + 137))
keys -k Return
client_exits_with 0
expect_file "$(printf '[Setting]\nColor=0\nHan=1')"

echo "the keyboard alone: space on the focused colour box, Enter"
open_dialog
keys -k space -k Return
client_exits_with 0
expect_file "$(printf '[Setting]\nColor=1\nHan=1')"

echo "Escape saves nothing"
cp "$ini" "$WORK/before"
open_dialog
click $((WINDOW_X + 40)) $((WINDOW_Y + 137))
click $((WINDOW_X + 110)) $((WINDOW_Y + 137))
keys -k Escape
client_exits_with 0
cmp -s "$ini" "$WORK/before" || fail "Escape changed the settings file"
echo "passed; screenshot in $shot"
