#!/usr/bin/env bash
# Under the real xscreensaver daemon, with "orbidial --root" as its one
# program: activated, it runs one hack per monitor and each shows the face
# of its monitor's size; deactivated, it ends them. xscreensaver refuses to
# run hacks as root, so the daemon (and with it the hacks) runs as nobody.
export E2E_SCREEN=2304x800
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
command -v xscreensaver >/dev/null || fail "xscreensaver is not installed"

AT="2026-12-09 10:08:30"
xrandr --setmonitor L 1280/338x800/211+0+0 screen >/dev/null
xrandr --setmonitor R 1024/270x768/203+1280+0 none >/dev/null

# The daemon's home and a PATH that finds the saver by its plain name. The
# build tree may lie where nobody cannot go (under /root): the saver and our
# font aliases are copied out, the aliases put before the system's fonts.conf.
chmod 755 "$WORK"
mkdir -p "$WORK/home" "$WORK/bin"
cp "$ORBIDIAL" "$WORK/bin/orbidial"
cp "$(dirname "$0")/../../resources/fontconfig/orbidial-fonts.conf" "$WORK/aliases.conf"
printf '<?xml version="1.0"?>\n<fontconfig>\n  <include>%s</include>\n  <include>/etc/fonts/fonts.conf</include>\n</fontconfig>\n' \
  "$WORK/aliases.conf" >"$WORK/fonts.conf"
chmod -R a+rX "$WORK/bin" "$WORK/aliases.conf" "$WORK/fonts.conf"
printf '%s\n' 'timeout: 0:30:00' 'lock: False' 'fade: False' 'unfade: False' 'splash: False' \
  'mode: one' 'selected: 0' 'programs: orbidial --root \n' >"$WORK/home/.xscreensaver"
mkdir -p "$XDG_CONFIG_HOME"
chown -R nobody "$WORK/home" "$XDG_CONFIG_HOME"

as_nobody() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH="$WORK/bin:/usr/bin:/bin" \
    HOME="$WORK/home" DISPLAY="$DISPLAY" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" FONTCONFIG_FILE="$WORK/fonts.conf" \
    ORBIDIAL_TEST_TIME="$AT" "$@"
}

as_nobody xscreensaver -no-splash >"$WORK/xscreensaver.log" 2>&1 &
daemon=$!
STARTED+=("$daemon")
for _ in $(seq 100); do as_nobody xscreensaver-command -version >/dev/null 2>&1 && break; sleep 0.1; done
as_nobody xscreensaver-command -activate >/dev/null || fail "xscreensaver did not take -activate"

# hacks: the saver's processes xscreensaver runs.
hacks() { pgrep -u nobody -x orbidial | while read -r pid; do
  grep -q "$WORK/home" "/proc/$pid/environ" 2>/dev/null && echo "$pid"; done; }
for _ in $(seq 100); do [[ $(hacks | wc -l) == 2 ]] && break; sleep 0.1; done
[[ $(hacks | wc -l) == 2 ]] || fail "expected a hack per monitor, found $(hacks | wc -l): $(tail -5 "$WORK/xscreensaver.log")"
shows_in "$(reference left --at "$AT" --size 1280x800)" 1280x800+0+0
shows_in "$(reference right --at "$AT" --size 1024x768)" 1024x768+1280+0

running=$(hacks)
as_nobody xscreensaver-command -deactivate >/dev/null || fail "xscreensaver did not take -deactivate"
# Ended: gone, or a zombie waiting for a parent that went with them.
ended() { [[ ! -e /proc/$1 ]] || [[ $(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) == Z ]]; }
for pid in $running; do
  for _ in $(seq 50); do ended "$pid" && break; sleep 0.1; done
  ended "$pid" || fail "hack $pid still runs after -deactivate"
done
as_nobody xscreensaver-command -exit >/dev/null 2>&1 || true
echo "ok"
