#!/usr/bin/env bash
# The same face on both back ends: Orbidial.scr under Wine (GDI) and
# orbidial-render (FreeType) draw one stopped instant full screen at
# 1280x800 and 1920x1080 in each numeral style, and every label's ink must
# stand where the other puts it (tests/e2e/label_agreement.py): the turned
# labels within 0.1 px on average and 1 px for 95 in 100, the upright ones
# within 0.6 px on average (GDI hints the small digits' strokes, FreeType
# does not: at 1280x800 that alone lifts GDI's digits half a pixel).
# Then two monitors side by side, 1280x800 and 1024x768 (Wine told to read
# them from Xinerama): each shows the face of its own size, label by label
# as the renderer draws it at that size, and a click on the second ends
# the saver, as does Escape with the pointer there.
# Screenshots and figures go to BUILD/e2e-win32/agreement/.
#   RENDER=build/shell/orbidial-render XPROBE=build/tests/e2e/xprobe \
#     tests/e2e/win32_agreement.sh BUILD_DIR
set -euo pipefail
export LC_ALL=C.UTF-8
build=$(realpath "${1:?usage: win32_agreement.sh BUILD_DIR}")
here=$(dirname "$(realpath "$0")")
scr="$build/shell/Orbidial.scr"
render=${RENDER:?RENDER must name the orbidial-render of the native build}
xprobe=${XPROBE:?XPROBE must name the xprobe of the native build}
out="$build/e2e-win32/agreement"
instant="2026-12-09 10:08:30"
rm -rf "$out"
mkdir -p "$out"

fail() { echo "FAIL: $*" >&2; exit 1; }
# shellcheck source=pictures.sh
source "$here/pictures.sh"

# shellcheck source=x_server.sh
source "$here/x_server.sh"
export WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/orbidial-wine.XXXXXX)
XVFB_PID=""
stop_x() {
  wineserver -k 2>/dev/null || true
  if [[ -n "$XVFB_PID" ]]; then kill "$XVFB_PID" 2>/dev/null || true; wait "$XVFB_PID" 2>/dev/null || true; fi
  XVFB_PID=""
}
# A program's start under Wine takes seconds, more than ten on a loaded
# machine: the waits for a start allow this many.
wine_start_ms=60000
# still_shot FILE: a screenshot once the screen holds still (two in a row
# alike), within 10 s (a try begun after them fails, see pictures.sh): the
# clock is stopped, but a frame may be arriving.
still_shot() {
  local deadline=$((SECONDS + 10)) looked
  import -window root "$1.before.png"
  while :; do
    looked=$SECONDS
    import -window root "$1"
    [[ $(pixels_differing "$1" "$1.before.png") == 0 ]] && break
    ((looked < deadline)) || fail "the screen did not hold still for $(basename "$1")"
    mv "$1" "$1.before.png"
  done
  rm -f "$1.before.png"
}
trap 'stop_x; rm -rf "$WINEPREFIX"' EXIT
# shellcheck source=wine-prefix.sh
source "$here/wine-prefix.sh"
ini="$WINEPREFIX/drive_c/users/$(id -un)/AppData/Roaming/OrbDial.ini"

failed=0
# agree NAME STYLE SIZE SHOT [TURNED_P95]: the labels of SHOT where the
# renderer puts them at SIZE; figures in NAME.txt.
agree() {
  local name=$1 style=$2 size=$3 shot=$4 turned_p95=${5:-1.0} limits
  "$render" --at "$instant" --style "$style" --size "$size" -o "$out/$name-raster.png" >/dev/null
  "$render" --at "$instant" --style "$style" --size "$size" --calls > "$out/$name.calls"
  # Style 0 is all upright labels; the Chinese styles turn all but the
  # seven current labels and the year.
  if ((style == 0)); then limits=(--upright 0.6 1.5 180); else limits=(--upright 0.6 1.5 6 --turned 0.1 "$turned_p95" 180); fi
  echo "-- $name"
  python3 "$here/label_agreement.py" "$out/$name.calls" "$out/$name-raster.png" "$shot" \
    "${limits[@]}" | tee "$out/$name.txt"
}
for size in 1280x800 1920x1080; do
  width=${size%x*} height=${size#*x}
  start_x_server "$out/xvfb.log" "${ORBIDIAL_WIN_DISPLAYS:-53 54 55}" \
    -screen 0 "${size}x24" -nolisten tcp -noreset ||
    fail "no free X display among ${ORBIDIAL_WIN_DISPLAYS:-53 54 55}: $(cat "$out/xvfb.log")"
  [[ -d "$WINEPREFIX/drive_c" ]] || wine_prefix_setup
  for style in 0 1 2; do
    name="style$style-$size"
    mkdir -p "$(dirname "$ini")"
    printf '[Setting]\r\nColor=1\r\nHan=%s\r\n' "$style" > "$ini"
    ORBIDIAL_TEST_TIME="$instant" wine "$scr" /s &
    saver=$!
    "$xprobe" wait-nonblack $((width / 2)) 0 $((width / 2)) "$height" "$wine_start_ms" ||
      fail "$name: no frame from Orbidial.scr"
    still_shot "$out/$name-gdi.png"
    xdotool key Escape
    wait "$saver" || fail "$name: Orbidial.scr ended with status $?"
    agree "$name" "$style" "$size" "$out/$name-gdi.png" || failed=1
  done
  stop_x
done

# Two monitors: Wine reads them from Xinerama, which reports the monitors
# xrandr --setmonitor makes, when it is told not to use RandR.
start_x_server "$out/xvfb.log" "${ORBIDIAL_WIN_DISPLAYS:-53 54 55}" \
  -screen 0 2304x800x24 -nolisten tcp -noreset ||
  fail "no free X display among ${ORBIDIAL_WIN_DISPLAYS:-53 54 55}: $(cat "$out/xvfb.log")"
xrandr --setmonitor L 1280/338x800/211+0+0 screen >/dev/null
xrandr --setmonitor R 1024/270x768/203+1280+0 none >/dev/null
printf 'Windows Registry Editor Version 5.00\r\n\r\n[HKEY_CURRENT_USER\\Software\\Wine\\X11 Driver]\r\n"UseXRandR"="N"\r\n' |
  iconv -f UTF-8 -t UTF-16 > "$WINEPREFIX/orbidial-monitors.reg"
timeout 60 wine regedit /S "$WINEPREFIX/orbidial-monitors.reg"
wineserver -k 2>/dev/null || true
printf '[Setting]\r\nColor=1\r\nHan=1\r\n' > "$ini"
rm -f "$out/status"
(
  set +e
  ORBIDIAL_TEST_TIME="$instant" wine "$scr" /s
  echo $? > "$out/status"
) &
saver=$!
"$xprobe" wait-nonblack 640 0 640 800 "$wine_start_ms" || fail "two monitors: no frame on the first"
"$xprobe" wait-nonblack 1792 0 512 768 "$wine_start_ms" || fail "two monitors: no frame on the second"
still_shot "$out/two-monitors.png"
convert "$out/two-monitors.png" -crop 1280x800+0+0 +repage "$out/monitor1-gdi.png"
convert "$out/two-monitors.png" -crop 1024x768+1280+0 +repage "$out/monitor2-gdi.png"
agree monitor1-style1-1280x800 1 1280x800 "$out/monitor1-gdi.png" || failed=1
# At 1024x768 GDI's hinting moves a few more small turned labels by a
# pixel: 1.02 px at the 95th percentile, the same on a screen of that size
# alone.
agree monitor2-style1-1024x768 1 1024x768 "$out/monitor2-gdi.png" 1.1 || failed=1
# ends_on_second WHAT INPUT...: with the pointer on the second monitor, the
# xdotool INPUT ends the saver with status 0.
ends_on_second() {
  local what=$1
  shift
  echo "-- $what on the second monitor ends the saver"
  xdotool mousemove 1800 400 "$@"
  for _ in $(seq 100); do [[ -s "$out/status" ]] && break; sleep 0.1; done
  [[ -s "$out/status" ]] || fail "$what on the second monitor did not end the saver"
  wait "$saver" 2>/dev/null || true
  [[ $(cat "$out/status") == 0 ]] || fail "the saver ended with status $(cat "$out/status")"
}
ends_on_second "a click" click 1
rm -f "$out/status"
(
  set +e
  ORBIDIAL_TEST_TIME="$instant" wine "$scr" /s
  echo $? > "$out/status"
) &
saver=$!
"$xprobe" wait-nonblack 1792 0 512 768 "$wine_start_ms" || fail "two monitors: no frame on the second"
ends_on_second "Escape" key Escape
stop_x

((failed == 0)) || fail "the back ends put labels apart (figures in $out)"
echo "win32-agreement: 10 passed, 0 failed"
