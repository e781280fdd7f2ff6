#!/usr/bin/env bash
# The system's time zone replaced while the saver runs (as a desktop's time
# settings replace /etc/localtime) shows on the next frame. Runs itself in a
# private mount namespace, where a file of ours is mounted over
# /etc/localtime; the machine's own zone is never touched.
if [[ -z "${ZONE_CHANGE_INSIDE:-}" ]]; then
  if [[ $(id -u) -eq 0 ]]; then inside=(unshare --mount --propagation private); else inside=(unshare --map-root-user --mount); fi
  ZONE_CHANGE_INSIDE=1 exec "${inside[@]}" bash "$0" "$@"
fi
source "$(dirname "$0")/lib.sh"
unset TZ ORBIDIAL_TEST_TIME

# mount_zone NAME: the zone NAME becomes the system's, a new file in place.
mount_zone() {
  mount --bind "/usr/share/zoneinfo/$1" /etc/localtime || fail "cannot mount $1 over /etc/localtime"
}

# shows_now ZONE THEME: the current labels on the screen come to be those
# the renderer draws for ZONE at a second from just before the screenshot to
# just after it (a frame comes just after its second, later on a loaded
# machine), looked at until they match, within E2E_WAIT.
shows_now() {
  local stem=${1//\//-} shot_file ref at from to diff deadline=$((SECONDS + E2E_WAIT)) looked
  while :; do
    looked=$SECONDS from=$(date +%s)
    shot_file=$(shot "$stem" 960x80+960+500)
    to=$(date +%s)
    # At most three renderings a look (a slow shot: its last two seconds),
    # so that a loaded machine still looks again within the time limit.
    ((to - from > 1)) && from=$to
    for ((at = to; at >= from - 1; at--)); do
      ref=$(TZ=$1 reference "$stem" --theme "$2" --at "$(TZ=$1 date -d "@$at" '+%F %T')")
      convert "$ref" -crop 960x80+960+500 +repage "$ref"
      diff=$(pixels_differing "$shot_file" "$ref") || exit 1
      [[ $diff == 0 ]] && return 0
    done
    ((looked < deadline)) || fail "the screen does not show the time of $1 ($diff pixels differ)"
  done
}

mount_zone UTC
theme=$(TZ=UTC date +%w)
start_saver
wait_first_frame 960 500 960 80
shows_now UTC "$theme"
# Five hours and three quarters east: another hour and minute.
mount_zone Asia/Kathmandu
shows_now Asia/Kathmandu "$theme"
xdotool key Escape
saver_exits_with 0
echo "ok"
