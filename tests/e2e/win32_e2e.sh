#!/usr/bin/env bash
# The Windows build under Wine + Xvfb:
#   1. Orbidial.scr needs no DLL beyond Windows' own, imports no functions
#      that suspend threads or open other processes (no thread runtime), and
#      carries no symbols;
#   2. every unit test program (*_tests.exe) passes under Wine;
#   3. /s shows the face with the highlight colour on the current values,
#      a right click changes the numeral style, the wheel the theme, mouse
#      moves change nothing, Escape and a left click end it with status 0,
#      and its keyboard hook keeps the Windows key and Ctrl+Esc from the
#      hooks of other programs;
#   4. /c shows the dialog; Esc writes nothing; OK writes OrbDial.ini into
#      the prefix's AppData folder; the three-state box cycles 1 -> 2 -> 0 -> 1
#      across runs, each run showing what the last one saved; a file that
#      cannot be written brings the warning box, and the dialog still ends;
#   5. /p HWND makes a child window covering the parent's client area and
#      ends with status 0 when the parent is destroyed, and lets the Windows
#      key and Ctrl+Esc through to other programs; /p without a window ends
#      at once;
#   6. the running clock changes once a second, just after each whole second,
#      with no second skipped or repeated; ORBIDIAL_TEST_TIME stops it;
#   7. at 144 dpi (150 %) the face is laid out for the screen's own pixels,
#      as at 96, and the dialog's link and icon grow with it.
# Screenshots go to BUILD/e2e-win32/. XPROBE names the native build's
# tests/e2e/xprobe, which watches the screen.
#   XPROBE=build/tests/e2e/xprobe tests/e2e/win32_e2e.sh BUILD_DIR
set -euo pipefail
# Window titles are matched as UTF-8 ("关于"), whatever the caller's locale.
export LC_ALL=C.UTF-8
build=$(realpath "${1:?usage: win32_e2e.sh BUILD_DIR}")
here=$(dirname "$(realpath "$0")")
scr="$build/shell/Orbidial.scr"
parent_exe="$build/tests/win32/preview_parent.exe"
witness_exe="$build/tests/win32/key_witness.exe"
shots="$build/e2e-win32"
xprobe=${XPROBE:?XPROBE must name the xprobe of the native build}
[[ -x "$xprobe" ]] || { echo "FAIL: no xprobe at $xprobe" >&2; exit 1; }
rm -rf "$shots"
mkdir -p "$shots"

# A failure leaves the screen as it was in failure.png.
fail() {
  echo "FAIL: $*" >&2
  import -window root "$shots/failure.png" 2>/dev/null || true
  exit 1
}
# Each step says when it began (seconds into the run), for the log of a
# failure.
step() { echo "-- [${SECONDS}s] $*"; }
# shellcheck source=pictures.sh
source "$here/pictures.sh"

# ---- 1. Imports ---------------------------------------------------------------
step "Orbidial.scr imports only system DLLs"
allowed=" ADVAPI32.dll GDI32.dll KERNEL32.dll msvcrt.dll SHELL32.dll USER32.dll VERSION.dll "
while read -r dll; do
  [[ "$allowed" == *" $dll "* ]] || fail "Orbidial.scr imports $dll"
done < <(x86_64-w64-mingw32-objdump -p "$scr" | sed -n 's/^\s*DLL Name: //p')
step "Orbidial.scr links no thread runtime and no symbols"
imports=$(x86_64-w64-mingw32-objdump -p "$scr")
for name in SuspendThread ResumeThread GetThreadContext SetThreadContext OpenProcess; do
  ! grep -qw "$name" <<<"$imports" || fail "Orbidial.scr imports $name"
done
! x86_64-w64-mingw32-objdump -h "$scr" | grep -q '\.debug' || fail "Orbidial.scr carries debug sections"
# The manifest's oldest system must be able to load it: no import may be a
# function that came later. Those a saver like this could reach for, from
# Windows 8 on (anything newer is looked up at run time instead).
step "Orbidial.scr imports nothing newer than the oldest system its manifest lists"
grep -q '<!-- 7 -->' "$here/../../resources/orbidial.manifest.in" ||
  fail "the manifest no longer lists Windows 7: bring this list in line with its oldest system"
newer="GetSystemTimePreciseAsFileTime GetDpiForWindow GetDpiForSystem GetDpiForMonitor
  SetProcessDpiAwareness SetProcessDpiAwarenessContext SetThreadDpiAwarenessContext
  GetThreadDpiAwarenessContext AreDpiAwarenessContextsEqual GetSystemMetricsForDpi
  AdjustWindowRectExForDpi SystemParametersInfoForDpi EnableNonClientDpiScaling
  GetDpiForShellUIComponent LogicalToPhysicalPointForPerMonitorDPI GetPointerType
  GetCurrentInputMessageSource CreateFile2 GetSystemTimes2 GetOverlappedResultEx
  SetCoalescableTimer CalculatePopupWindowPosition GetDisplayAutoRotationPreferences
  IsImmersiveProcess PathCchCombine PathCchAppend WaitOnAddress WakeByAddressSingle
  GetCurrentThreadStackLimits SetDefaultDllDirectories AddDllDirectory"
for name in $newer; do
  ! grep -qw "$name" <<<"$imports" || fail "Orbidial.scr imports $name, which Windows 7 lacks"
done

# ---- Display and prefix --------------------------------------------------------
# shellcheck source=x_server.sh
source "$here/x_server.sh"
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/orbidial-wine.XXXXXX)
background=()
cleanup() {
  for pid in "${background[@]}"; do kill "$pid" 2>/dev/null || true; done
  WINEPREFIX=$WINEPREFIX wineserver -k 2>/dev/null || true
  if [[ -n "${XVFB_PID:-}" ]]; then kill "$XVFB_PID" 2>/dev/null || true; fi
  rm -rf "$WINEPREFIX"
}
trap cleanup EXIT
start_x_server "$shots/xvfb.log" "${ORBIDIAL_WIN_DISPLAYS:-53 54 55}" \
  -screen 0 1024x768x24 -nolisten tcp -noreset ||
  fail "no free X display among ${ORBIDIAL_WIN_DISPLAYS:-53 54 55}: $(cat "$shots/xvfb.log")"
# shellcheck source=wine-prefix.sh
source "$here/wine-prefix.sh"
step "fresh Wine prefix in $WINEPREFIX"
wine_prefix_setup
ini="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/OrbDial.ini"

# ---- 2. Unit tests ---------------------------------------------------------------
# The shell tests keep the faces they drew in this process as BMPs
# (Wine's Z: drive is the Unix root).
export ORBIDIAL_TEST_SHOTS="Z:${shots//\//\\}"
# The resource tests read Orbidial.scr itself too.
export ORBIDIAL_SCR="Z:${scr//\//\\}"
while read -r exe; do
  step "unit tests: ${exe#"$build"/}"
  timeout 120 wine "$exe" --gtest_brief=1 || fail "${exe##*/} failed under Wine"
done < <(find "$build/tests" -name '*_tests.exe' | sort)
rm -f "$ini"  # the dialog tests restore what they found; start the saver from nothing
for bmp in "$shots"/*-in-process.bmp; do
  [[ -e "$bmp" ]] || continue
  convert "$bmp" "${bmp%.bmp}.png"
  rm "$bmp"
done

# ---- Helpers ----------------------------------------------------------------------
# start_saver ARGS...: runs Orbidial.scr in the background; its status goes
# to $shots/status when it ends.
start_saver() {
  rm -f "$shots/status"
  (
    set +e
    wine "$scr" "$@"
    echo $? > "$shots/status"
  ) &
  saver=$!
  background+=("$saver")
}
# wait_saver SECONDS: waits for the saver to end; fails unless its status is 0.
wait_saver() {
  local limit=$(($1 * 10))
  for _ in $(seq "$limit"); do [[ -s "$shots/status" ]] && break; sleep 0.1; done
  [[ -s "$shots/status" ]] || fail "Orbidial.scr still runs after $1 s"
  wait "$saver" 2>/dev/null || true
  [[ $(cat "$shots/status") == 0 ]] || fail "Orbidial.scr ended with status $(cat "$shots/status")"
}
still_running() { [[ ! -s "$shots/status" ]]; }
# within SECONDS CHECK...: runs CHECK until it succeeds, SECONDS at most;
# fails (1) when it never does, on a try begun after that (pictures.sh).
# What must show is waited for, not slept on.
within() {
  local deadline=$((SECONDS + $1)) looked
  shift
  until looked=$SECONDS && "$@"; do
    ((looked < deadline)) || return 1
    sleep 0.2
  done
}
# A program's start under Wine takes seconds, more than ten on a loaded
# machine: the waits for a start allow this many.
wine_start=60
# wait_window NAME: the first visible X window of that exact title.
wait_window() {
  find_window "$wine_start" --name "^$1\$" || true
}
shot() { import -window root "$shots/$1.png"; }
# face_drawn: the saver has drawn a frame of its face, so it runs its message
# loop with its keyboard hook in place (the window shows black before).
face_drawn() {
  "$xprobe" wait-nonblack 0 0 1024 768 $((wine_start * 1000)) || fail "no frame from Orbidial.scr"
}
# next_frame: a frame drawn after this moment (the second ring moves on).
next_frame() {
  shot .frame-before
  frame_moved() { shot .frame-after; (($(differ "$shots/.frame-before.png" "$shots/.frame-after.png" 90x40+805+365) > 0)); }
  within 10 frame_moved || fail "no new frame within 10 s"
}
# count FILE COLOUR WxH+X+Y: pixels of exactly COLOUR in the region.
count() {
  convert "$1" -crop "$3" +repage -fill black +opaque "$2" -fill white -opaque "$2" \
    -format '%[fx:round(mean*w*h)]' info:
}
# differ A B WxH+X+Y: number of pixels that differ between two shots there.
differ() {
  convert "$1" -crop "$3" +repage "$shots/.a.png"
  convert "$2" -crop "$3" +repage "$shots/.b.png"
  pixels_differing "$shots/.a.png" "$shots/.b.png" || exit 1
  rm -f "$shots/.a.png" "$shots/.b.png"
}
highlight=("rgb(250,250,0)" "rgb(255,192,159)" "rgb(255,255,255)" "rgb(37,198,252)"
           "rgb(254,100,0)" "rgb(100,250,250)" "rgb(50,255,56)")

# ---- 3. Full screen -------------------------------------------------------------
# 1024 x 768, style 1: FontHeight 13, centre (512, 384), radii 52 .. 311.
line_region=330x40+560+370   # the current values, right of the centre
left_region=470x768+0+0      # left of the year line
year_region=84x26+476+372    # the year line, inside the month ring
step "/s: the face, highlight on the current values"
start_saver /s
[[ -n $(wait_window Orbidial) ]] || fail "no saver window"
day=$(date +%w)
colour=${highlight[$day]}
# shows_on_line NAME COLOUR: a shot NAME has COLOUR on the 3 o'clock line.
shows_on_line() {
  shot "$1"
  on_line=$(count "$shots/$1.png" "$2" "$line_region")
  ((on_line > 150))
}
within "$wine_start" shows_on_line s-style1 "$colour" || true
left=$(count "$shots/s-style1.png" "$colour" "$left_region")
echo "   weekday $day, $colour: $on_line px on the 3 o'clock line, $left px on the left"
((on_line > 150)) || fail "too few highlight pixels on the 3 o'clock line ($on_line)"
((left == 0)) || fail "highlight colour away from the current values ($left px)"

step "/s: mouse moves keep it running; a right click changes the style"
xdotool mousemove 100 100 mousemove 700 500
next_frame
shot s-style1-again
[[ $(differ "$shots/s-style1.png" "$shots/s-style1-again.png" "$year_region") == 0 ]] ||
  fail "the year line changed without a click"
xdotool click 3
year_changed() {
  shot s-style2
  changed=$(differ "$shots/s-style1-again.png" "$shots/s-style2.png" "$year_region")
  ((changed > 20))
}
within 10 year_changed || true
still_running || fail "the saver ended on mouse moves or a right click"
echo "   year line: $changed pixels changed"
((changed > 20)) || fail "a right click did not change the numeral style"

step "/s: the wheel moves the theme"
xdotool click 4
next=${highlight[$(((day + 1) % 7))]}
within 10 shows_on_line s-wheel "$next" || true
echo "   theme $(((day + 1) % 7)), $next: $on_line px on the line"
((on_line > 150)) || fail "the wheel did not move the theme"

step "/s: Escape ends it with status 0"
xdotool key Escape
wait_saver 10

# Another process's low-level hook, installed first, is called only for the
# keys the saver's hook passes on. (Wine gives the hooks no Alt flag: the
# saver's hook must read the Alt key's own state.)
# start_witness FILE: another program's keyboard hook writes down what
# reaches it (ten minutes at most); stop_witness FILE ends it once the last
# key typed, a plain A, has reached it; seen VK FILE tells whether VK did.
start_witness() {
  wine "$witness_exe" 600000 > "$1" &
  witness=$!
  background+=("$witness")
  ready() { grep -q ready "$1" 2>/dev/null; }
  within "$wine_start" ready "$1" || fail "the key witness did not start"
}
stop_witness() {
  within 10 seen 65 "$1" || true
  kill "$witness" 2>/dev/null || true
  wait "$witness" 2>/dev/null || true
}
seen() { grep -q "^key $1 " "$2"; }
# ctrl_escape_seen FILE: Escape pressed while Control was down reached it.
ctrl_escape_seen() { sed -n '/^key 162 0 /,/^key 162 80 /p' "$1" | grep -q '^key 27 '; }
# alt_seen VK FILE: VK pressed while the left Alt key (164) was down reached
# it (a release has the 0x80 flag).
alt_seen() {
  awk -v vk="$1" '$1 == "key" && $2 == 164 { down = ($3 !~ /^[89a-f].$/) }
                  $1 == "key" && $2 == vk && down { found = 1 }
                  END { exit !found }' "$2"
}
step "/s: Alt+Tab, Alt+Esc, the Windows key and Ctrl+Esc do not reach other programs"
keys="$shots/key-witness.txt"
start_witness "$keys"
start_saver /s
face_drawn
for key in Tab super ctrl+Escape alt+Tab alt+Escape a; do xdotool key "$key"; sleep 0.3; done
still_running || fail "the saver ended on a system key"
xdotool key Escape
wait_saver 10
stop_witness "$keys"
seen 9 "$keys" || fail "Tab did not pass: $(tr '\n' ';' < "$keys")"
seen 65 "$keys" || fail "a plain key did not pass: $(tr '\n' ';' < "$keys")"
seen 162 "$keys" || fail "Control did not pass: $(tr '\n' ';' < "$keys")"
seen 164 "$keys" || fail "Alt did not pass: $(tr '\n' ';' < "$keys")"
! seen 91 "$keys" || fail "the Windows key reached another program"
# (The plain Escape at the end passes.)
! ctrl_escape_seen "$keys" || fail "Ctrl+Esc reached another program"
! alt_seen 9 "$keys" || fail "Alt+Tab reached another program: $(tr '\n' ';' < "$keys")"
! alt_seen 27 "$keys" || fail "Alt+Esc reached another program: $(tr '\n' ';' < "$keys")"

step "/s: a left click ends it with status 0"
start_saver /S
face_drawn
xdotool mousemove 300 300 click 1
wait_saver 10

# ---- 6. The running clock -------------------------------------------------------
second_box=(805 365 90 40)  # the current label of the second ring, style 1
step "/s: one change a second, just after the whole second"
start_saver /s
face_drawn
"$xprobe" changes "${second_box[@]}" 20 > "$shots/ticks.txt"
xdotool key Escape
wait_saver 10
summary=$(tail -n 1 "$shots/ticks.txt")
echo "   $summary"
read -r _ _ changes _ _ _ skipped _ repeated _ <<<"$summary"
((skipped == 0 && repeated == 0)) || fail "seconds skipped or repeated: $summary"
((changes >= 19)) || fail "only $changes changes in 20 s: $summary"
# Just after the second: the middle change within a quarter of a second (a
# loaded machine delays frames by a tenth or two; the strict figures are
# bench/measure_ticks.sh's).
median=$(awk '{ print int($11) }' <<<"$summary")
((median < 250)) || fail "the changes came ${median} ms after the second: $(tr '\n' ';' < "$shots/ticks.txt")"

step "/s: ORBIDIAL_TEST_TIME stops the clock at that instant"
ORBIDIAL_TEST_TIME="2026-12-09 10:08:30" start_saver /s   # a Wednesday: theme 3
[[ -n $(wait_window Orbidial) ]] || fail "no saver window"
within "$wine_start" shows_on_line s-frozen "${highlight[3]}" || true
# Watched two seconds, two frames: not a pixel changes (xprobe ends with 1
# when it saw none).
"$xprobe" changes 0 0 1024 768 2 > "$shots/frozen-changes.txt" || true
[[ $(tail -n 1 "$shots/frozen-changes.txt") == "summary changes 0" ]] ||
  fail "the stopped clock moved: $(tr '\n' ';' < "$shots/frozen-changes.txt")"
on_line=$(count "$shots/s-frozen.png" "${highlight[3]}" "$line_region")
((on_line > 150)) || fail "the stopped clock does not show Wednesday's theme ($on_line px)"
xdotool key Escape
wait_saver 10

# ---- 4. Options dialog -----------------------------------------------------------
# dialog_shot NAME: the dialog's window, cut from the screen.
dialog_shot() {
  local window geometry
  window=$(wait_window 关于)
  geometry=$(xdotool getwindowgeometry --shell "$window")
  local WIDTH HEIGHT X Y
  eval "$(grep -E '^(WIDTH|HEIGHT|X|Y)=' <<<"$geometry")"
  import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shots/$1.png"
  boxes="$((WIDTH * 6 / 10))x$((HEIGHT * 4 / 10))+0+$((HEIGHT * 55 / 100))"
}
# dialog_drawn NAME: dialog_shot NAME once two shots in a row agree (the
# dialog has drawn itself).
dialog_drawn() {
  dialog_shot "$1"
  cp "$shots/$1.png" "$shots/.drawn.png"
  dialog_shot "$1"
  [[ $(pixels_differing "$shots/$1.png" "$shots/.drawn.png") == 0 ]]
}
# dialog_changed BEFORE NAME: dialog_shot NAME shows the boxes otherwise
# than the shot BEFORE.
dialog_changed() {
  dialog_shot "$2"
  ((0 < $(differ "$shots/$1.png" "$shots/$2.png" "$boxes")))
}
# link_clicks NAME DPI: on the dialog's drawn link (its blue ink, found in
# the shot), clicks at the middle and near both ends start the interpreter,
# clicks just above and just below its line do not. A stand-in cmd.exe in
# the prefix's system folder counts the starts.
system_cmd="$WINEPREFIX/drive_c/windows/system32/cmd.exe"
launches="$shots/link-launches.txt"
link_clicks() {
  local name=$1 dpi=$2 window geometry bbox
  cp "$system_cmd" "$shots/.cmd.exe"
  cp "$build/tests/win32/planted_cmd.exe" "$system_cmd"
  rm -f "$launches"
  WINEDLLOVERRIDES="$WINEDLLOVERRIDES;cmd.exe=n" ORBIDIAL_PLANTED_MARK="Z:${launches//\//\\}" \
    start_saver /c
  window=$(wait_window 关于)
  [[ -n "$window" ]] || fail "no dialog"
  within 10 dialog_drawn "$name" || fail "the dialog did not settle"
  local WIDTH HEIGHT X Y
  geometry=$(xdotool getwindowgeometry --shell "$window")
  eval "$(grep -E '^(WIDTH|HEIGHT|X|Y)=' <<<"$geometry")"
  # The link is the only blue text: its ink's bounding box, as WxH+L+T.
  bbox=$(convert "$shots/$name.png" -fx 'b > 0.6 && r < 0.5 && g < 0.5 ? 1 : 0' -format '%@' info:)
  local w h left top
  IFS='x+' read -r w h left top <<<"$bbox"
  ((w > 20 && h > 5)) || fail "no link drawn in $name.png ($bbox)"
  left=$((X + left)) top=$((Y + top))
  local middle=$((top + h / 2)) gap=$(((6 * dpi + 48) / 96))
  echo "   link ink at $dpi dpi: x $left..$((left + w - 1)) y $top..$((top + h - 1)) (screen)"
  xdotool mousemove $((left + w / 2)) $((top - gap)) click 1
  xdotool mousemove $((left + w / 2)) $((top + h - 1 + gap / 2)) click 1
  xdotool mousemove $((left + w / 2)) "$middle" click 1
  xdotool mousemove $((left + 1)) "$middle" click 1
  xdotool mousemove $((left + w - 2)) "$middle" click 1
  started() { [[ -e "$launches" && $(wc -l < "$launches") -ge 3 ]]; }
  within 15 started || fail "clicks on the link's text started $(grep -c . "$launches" 2>/dev/null) interpreters, not 3"
  xdotool key Escape
  wait_saver 10
  cp "$shots/.cmd.exe" "$system_cmd"
  # Each start left a hidden console behind; the next steps start afresh.
  wineserver -k 2>/dev/null || true
  [[ $(wc -l < "$launches") == 3 ]] ||
    fail "$(wc -l < "$launches") starts: a click off the link's text started it"
}
step "/c: Esc closes the dialog and writes nothing"
start_saver /c
[[ -n $(wait_window 关于) ]] || fail "no dialog"
within 10 dialog_drawn c-opened || fail "the dialog did not settle"
xdotool key Escape
wait_saver 10
[[ ! -e "$ini" ]] || fail "Esc wrote $ini"

step "/c: a click anywhere on the link's text starts it, just above or below it does not"
link_clicks c-link 96

step "/c: the boxes change and OK saves them"
start_saver /c
[[ -n $(wait_window 关于) ]] || fail "no dialog"
within 10 dialog_drawn c-opened || fail "the dialog did not settle"
xdotool key space          # 变色, which has the focus: ticked -> clear
within 10 dialog_changed c-opened c-color-off || fail "the colour box did not change"
xdotool key Tab Tab space  # 默认汉字: ticked -> indeterminate
within 10 dialog_changed c-color-off c-han-2 || fail "the numeral box did not change"
xdotool key Return
wait_saver 10
[[ $(cat "$ini") == $'[Setting]\r\nColor=0\r\nHan=2\r' ]] ||
  fail "unexpected settings file: $(od -c "$ini")"

step "/c: the three-state box goes on from the saved state"
expected_states=(0 1)
for state in "${expected_states[@]}"; do
  start_saver /c:123
  [[ -n $(wait_window 关于) ]] || fail "no dialog"
  within 10 dialog_drawn "c-han-$state-opened" || fail "the dialog did not settle"
  xdotool key Tab Tab space
  within 10 dialog_changed "c-han-$state-opened" "c-han-$state" || fail "the numeral box did not change"
  xdotool key Return
  wait_saver 10
  grep -q "^Han=$state"$'\r'"\$" "$ini" || fail "Han is not $state: $(od -c "$ini")"
  grep -q "^Color=0"$'\r'"\$" "$ini" || fail "Color changed: $(od -c "$ini")"
done
for pair in "c-han-2 c-han-0" "c-han-0 c-han-1" "c-han-1 c-han-2"; do
  read -r a b <<<"$pair"
  ((0 < $(differ "$shots/$a.png" "$shots/$b.png" "$boxes"))) ||
    fail "$a and $b show the same box state"
done

step "/c: a settings file that cannot be written brings the warning, once"
rm -f "$ini"
mkdir "$ini"  # a folder in the file's place: every write fails
start_saver /c
[[ -n $(wait_window 关于) ]] || fail "no dialog"
within 10 dialog_drawn c-unwritable || fail "the dialog did not settle"
xdotool key Return
warning=$(wait_window Orbidial)
[[ -n "$warning" ]] || fail "no warning box after a failed save"
eval "$(xdotool getwindowgeometry --shell "$warning" | grep -E '^(WIDTH|HEIGHT|X|Y)=')"
import -window root -crop "${WIDTH}x${HEIGHT}+${X}+${Y}" +repage "$shots/c-warning.png"
xdotool key Return
wait_saver 10
rmdir "$ini"

# ---- 5. Preview -----------------------------------------------------------------
# The preview is a picture inside the host's settings dialog: the keys of
# the desktop stay the user's while it runs.
step "/p HWND: a child covering the parent, ending with the parent, hooking no keys"
rm -f "$ini"
keys="$shots/key-witness-preview.txt"
start_witness "$keys"
report="$shots/preview-parent.txt"
rm -f "$shots/parent-end"
wine "$parent_exe" 320 240 "Z:${shots//\//\\}\\parent-end" > "$report" &
parent=$!
background+=("$parent")
reported() { grep -q "$1" "$report" 2>/dev/null; }
within "$wine_start" reported . || true
hwnd=$(head -1 "$report" | tr -d '\r')
[[ "$hwnd" =~ ^[0-9]+$ ]] || fail "the preview parent gave no window number"
start_saver /p "$hwnd"
within "$wine_start" reported "^child " || true
grep -q "^child ORBDIAL 0 0 320 240" "$report" ||
  fail "no ORBDIAL child covering the parent: $(cat "$report")"
# (Wine shows no picture of another process's child window: the parent
# stays grey.) The keys must pass: a moment for a hook that must not come.
sleep 0.5
xdotool mousemove 200 160
for key in super ctrl+Escape alt+Tab alt+Escape a; do xdotool key "$key"; sleep 0.3; done
shot p-preview
touch "$shots/parent-end"   # the host closes its dialog
wait_saver 15
wait "$parent" || fail "the preview parent failed"
stop_witness "$keys"
seen 65 "$keys" || fail "a plain key did not pass: $(tr '\n' ';' < "$keys")"
seen 91 "$keys" || fail "the preview kept the Windows key from other programs"
ctrl_escape_seen "$keys" ||
  fail "the preview kept Ctrl+Esc from other programs: $(tr '\n' ';' < "$keys")"
alt_seen 9 "$keys" || fail "the preview kept Alt+Tab from other programs: $(tr '\n' ';' < "$keys")"
alt_seen 27 "$keys" || fail "the preview kept Alt+Esc from other programs: $(tr '\n' ';' < "$keys")"

step "/p without a window: nothing to show, status 0"
start_saver /p
wait_saver 10

# ---- 7. A scaled display ----------------------------------------------------------
# 150 %: Windows tells a program that declares itself DPI-aware the real
# pixels; one that does not would be laid out smaller and stretched up.
step "144 dpi: the face laid out for the screen's pixels, the link scaled"
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Control Panel\\Desktop]\r\n"LogPixels"=dword:00000090\r\n' |
  iconv -f UTF-8 -t UTF-16 > "$WINEPREFIX/orbidial-dpi.reg"
timeout 60 wine regedit /S "$WINEPREFIX/orbidial-dpi.reg"
wineserver -k 2>/dev/null || true  # every program starts again at the new DPI
ORBIDIAL_EXPECT_DPI=144 timeout 120 wine "$build/tests/win32/win32_settings_tests.exe" \
  --gtest_brief=1 --gtest_filter='OptionsDialogTest.*' || fail "the dialog at 144 dpi"
rm -f "$ini"
ORBIDIAL_TEST_TIME="2026-12-09 10:08:30" start_saver /s
[[ -n $(wait_window Orbidial) ]] || fail "no saver window at 144 dpi"
same_face() {
  shot s-frozen-144dpi
  [[ $(differ "$shots/s-frozen.png" "$shots/s-frozen-144dpi.png" 1024x768+0+0) == 0 ]]
}
within "$wine_start" same_face || fail "at 144 dpi the face is not the one laid out for 1024x768"
xdotool key Escape
wait_saver 10
start_saver /c
[[ -n $(wait_window 关于) ]] || fail "no dialog at 144 dpi"
within 10 dialog_drawn c-144dpi || fail "the dialog did not settle at 144 dpi"
xdotool key Escape
wait_saver 10
link_clicks c-link-144dpi 144

echo "Windows end-to-end tests passed; screenshots in $shots"
