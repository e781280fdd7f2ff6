#!/usr/bin/env bash
# The whole round: the options dialog opens with the stored values, OK saves
# the boxes, and the saver started afterwards uses the saved numeral style and
# colour-theme switch.
source "$(dirname "$0")/lib.sh"
ini=$XDG_CONFIG_HOME/OrbDial.ini
AT="2026-12-09 10:08:30"  # a Wednesday: theme 3 when themes are on
export ORBIDIAL_TEST_TIME=$AT

# No settings yet: style 1, themes on.
start_saver
shows "$(reference style1-theme3 --at "$AT" --style 1 --theme 3)"
xdotool key Escape
saver_exits_with 0
[[ ! -e $ini ]] || fail "running the saver wrote the settings file"

# The dialog: focus starts on 变色; Space clears it, Tab Tab reaches 默认汉字,
# Space moves it from ticked to indeterminate; Enter saves.
start_dialog
xdotool key space Tab Tab space Return
saver_exits_with 0 5
printf '[Setting]\nColor=0\nHan=2\n' | cmp -s - "$ini" || fail "saved settings: $(cat "$ini" 2>/dev/null)"

# The saver now starts in formal numerals with theme 0, and the wheel does
# nothing: after a wheel turn, a right click (Arabic digits) shows theme 0
# still, the events being taken in order.
start_saver
shows "$(reference style2-theme0 --at "$AT" --style 2 --theme 0)"
xdotool click 4 click 3
shows "$(reference style0-theme0 --at "$AT" --style 0 --theme 0)"
xdotool key Escape
saver_exits_with 0

# Esc in the dialog writes nothing.
before=$(sha256sum "$ini")
start_dialog /c:0
xdotool key space Escape
saver_exits_with 0 5
[[ $(sha256sum "$ini") == "$before" ]] || fail "Esc changed the settings file"
echo "ok"
