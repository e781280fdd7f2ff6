#!/usr/bin/env bash
# Under the real xscreensaver daemon, with "orbidial --root" as its one
# program: activated, it runs one hack per monitor and each shows the face
# of its monitor's size; deactivated, it ends them. xscreensaver refuses to
# run hacks as root, so the daemon (and with it the hacks) runs as nobody.
# xscreensaver puts its own hacks' folder first on their PATH, where an
# installed orbidial would win over the build's: the program is named by
# its absolute path, and the hacks are told from other programs by it.
export E2E_SCREEN=2304x800
# shellcheck source=lib.sh
source "$(dirname "$0")/lib.sh"
command -v xscreensaver >/dev/null || fail "xscreensaver is not installed"

AT="2026-12-09 10:08:30"
xrandr --setmonitor L 1280/338x800/211+0+0 screen >/dev/null
xrandr --setmonitor R 1024/270x768/203+1280+0 none >/dev/null

# The daemon's home and the saver. The build tree may lie where nobody cannot go (under /root): the saver and our
# font aliases are copied out, the aliases put before the system's fonts.conf.
chmod 755 "$WORK"
mkdir -p "$WORK/home" "$WORK/bin"
cp "$ORBIDIAL" "$WORK/bin/orbidial"
cp "$(dirname "$0")/../../resources/fontconfig/orbidial-fonts.conf" "$WORK/aliases.conf"
printf '<?xml version="1.0"?>\n<fontconfig>\n  <include>%s</include>\n  <include>/etc/fonts/fonts.conf</include>\n</fontconfig>\n' \
  "$WORK/aliases.conf" >"$WORK/fonts.conf"
chmod -R a+rX "$WORK/bin" "$WORK/aliases.conf" "$WORK/fonts.conf"
printf '%s\n' 'timeout: 0:30:00' 'lock: False' 'fade: False' 'unfade: False' 'splash: False' \
  'mode: one' 'selected: 0' "programs: $WORK/bin/orbidial --root \\n" >"$WORK/home/.xscreensaver"
mkdir -p "$XDG_CONFIG_HOME"
chown -R nobody "$WORK/home" "$XDG_CONFIG_HOME"

as_nobody() {
  setpriv --reuid=nobody --regid=nogroup --clear-groups env -i PATH="/usr/bin:/bin" \
    HOME="$WORK/home" DISPLAY="$DISPLAY" XDG_CONFIG_HOME="$XDG_CONFIG_HOME" FONTCONFIG_FILE="$WORK/fonts.conf" \
    ORBIDIAL_TEST_TIME="$AT" "$@"
}

as_nobody xscreensaver -no-splash >"$WORK/xscreensaver.log" 2>&1 &
daemon=$!
STARTED+=("$daemon")
daemon_answers() { as_nobody xscreensaver-command -version >/dev/null 2>&1; }
daemon_answers || wait_for "xscreensaver's answer" "$E2E_WAIT" daemon_answers
as_nobody xscreensaver-command -activate >/dev/null || fail "xscreensaver did not take -activate"

# hacks: the processes of the build's saver that xscreensaver runs (named by
# the path it was given).
hacks() {
  local pid
  for pid in $(pgrep -u nobody orbidial || true); do
    [[ $(tr '\0' ' ' <"/proc/$pid/cmdline" 2>/dev/null) == "$WORK/bin/orbidial "* ]] && echo "$pid"
  done
  return 0
}
# others: what else runs as nobody under the name orbidial, for the message.
others() { pgrep -a -u nobody orbidial | grep -vF "$WORK/bin/orbidial" || echo none; }
hack_per_monitor() { [[ $(hacks | wc -l) == 2 ]]; }
wait_until_hacks() {
  local deadline=$((SECONDS + E2E_WAIT))
  until hack_per_monitor; do
    ((SECONDS < deadline)) || fail "expected a hack of the build per monitor, found $(hacks | wc -l);" \
      "other programs named orbidial: $(others); xscreensaver said: $(tail -5 "$WORK/xscreensaver.log")"
    sleep 0.1
  done
}
wait_until_hacks
shows "$(reference left --at "$AT" --size 1280x800)" 1280x800+0+0
shows "$(reference right --at "$AT" --size 1024x768)" 1024x768+1280+0

running=$(hacks)
as_nobody xscreensaver-command -deactivate >/dev/null || fail "xscreensaver did not take -deactivate"
# Ended: gone, or a zombie waiting for a parent that went with them.
ended() { [[ ! -e /proc/$1 ]] || [[ $(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) == Z ]]; }
for pid in $running; do
  wait_for "the end of hack $pid after -deactivate" 5 ended "$pid"
done
as_nobody xscreensaver-command -exit >/dev/null 2>&1 || true
echo "ok"
