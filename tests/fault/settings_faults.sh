#!/usr/bin/env bash
# The settings file under faults, and the saver started afterwards:
# - a full disk (a 64 KiB tmpfs where mounting is allowed, else a file-size
#   limit of 0): the save warns once, the old file stays byte for byte, no
#   temporary is left, and the saver starts with the stored values;
# - a read-only folder (a read-only bind mount where allowed, else mode 0500)
#   and a read-only file: the saver starts with the stored values;
# - a directory or a pipe in the file's place: the save warns once and leaves
#   it, and the saver starts (without hanging) with its defaults.
# E2E_SETTINGS_SAVE: the settings-save driver; E2E_NO_MOUNT=1 takes the
# fallbacks even where mounting is allowed, and as root runs the whole test
# as nobody: the fallbacks rest on file permissions, which do not bind root.
if [[ -n ${E2E_NO_MOUNT:-} && $(id -u) == 0 ]]; then
  set -eu
  shots=$4/settings_faults-as-user
  rm -rf "$shots"
  mkdir -p "$shots/home"
  chown -R 65534:65534 "$shots"
  exec setpriv --reuid=65534 --regid=65534 --clear-groups env -u XDG_RUNTIME_DIR HOME="$shots/home" \
    bash "$0" "$1" "$2" "$3" "$shots"
fi
source "$(dirname "$0")/../e2e/lib.sh"
SAVE=$E2E_SETTINGS_SAVE
AT="2026-12-09 10:08:30"  # a Wednesday: theme 3 when themes are on
export ORBIDIAL_TEST_TIME=$AT
stored_text=$'; by hand\n[Setting]\nColor=0\nHan=2\n'
MOUNTS=()
unmount_all() {
  local m
  for m in "${MOUNTS[@]}"; do umount "$m" 2>/dev/null || true; done
  # The read-only folder, made so by its mode, must let its file go.
  chmod u+w "$WORK/readonly" 2>/dev/null || true
  cleanup
}
trap unmount_all EXIT

stored=(--style 2 --theme 0)
defaults=(--style 1 --theme 3)

# starts_with NAME RENDER_ARGS...: the saver's first frame is what the
# renderer draws for them.
starts_with() {
  start_saver
  shows "$(reference "$1" --at "$AT" "${@:2}")"
  xdotool key Escape
  saver_exits_with 0
  [[ ! -s "$WORK/saver.err" ]] || fail "$1: the saver wrote: $(cat "$WORK/saver.err")"
}

# save_refused NAME [RUNNER...]: a save 1 1 fails with exactly one warning.
save_refused() {
  local name=$1 status=0 out
  shift
  # Through a pipe: a file-size limit must not stop the report itself.
  out=$("$@" "$SAVE" 1 1 2>&1) || status=$?
  [[ $status == 1 ]] || fail "$name: the save ended with $status: $out"
  [[ $out == "warnings 1" ]] || fail "$name: $out"
}

unchanged() {
  [[ "$(cat "$1"; echo .)" == "$stored_text." ]] || fail "$2: the file became: $(cat "$1")"
}

tiny_fs() {
  mkdir -p "$1"
  mount -t tmpfs -o size=64k,mode=0700 orbidial-full "$1" 2>/dev/null && MOUNTS+=("$1")
}

# Disk full.
export XDG_CONFIG_HOME=$WORK/full
mkdir -p "$XDG_CONFIG_HOME"
if [[ -z ${E2E_NO_MOUNT:-} ]] && tiny_fs "$XDG_CONFIG_HOME"; then
  printf '%s' "$stored_text" >"$XDG_CONFIG_HOME/OrbDial.ini"
  dd if=/dev/zero of="$XDG_CONFIG_HOME/filler" bs=4096 2>/dev/null || true
  save_refused "disk full"
  rm "$XDG_CONFIG_HOME/filler"
  echo "disk full: a 64 KiB tmpfs"
else
  printf '%s' "$stored_text" >"$XDG_CONFIG_HOME/OrbDial.ini"
  # shellcheck disable=SC2016 # expanded by the inner shell
  save_refused "file size limit 0" bash -c 'trap "" XFSZ; ulimit -f 0; exec "$0" "$@"'
  echo "disk full: no tmpfs allowed here, a file size limit of 0 instead"
fi
unchanged "$XDG_CONFIG_HOME/OrbDial.ini" "disk full"
[[ $(ls -A "$XDG_CONFIG_HOME") == OrbDial.ini ]] || fail "disk full: left $(ls -A "$XDG_CONFIG_HOME")"
starts_with disk-full "${stored[@]}"

# A read-only folder holding a read-only file.
export XDG_CONFIG_HOME=$WORK/readonly
mkdir -p "$XDG_CONFIG_HOME"
printf '%s' "$stored_text" >"$XDG_CONFIG_HOME/OrbDial.ini"
chmod 0400 "$XDG_CONFIG_HOME/OrbDial.ini"
if [[ -z ${E2E_NO_MOUNT:-} ]] && mount --bind "$XDG_CONFIG_HOME" "$XDG_CONFIG_HOME" 2>/dev/null; then
  MOUNTS+=("$XDG_CONFIG_HOME")
  mount -o remount,bind,ro "$XDG_CONFIG_HOME" || fail "cannot make the bind mount read-only"
  # Read-only even for root: the save is refused and changes nothing.
  save_refused "read-only folder"
  unchanged "$XDG_CONFIG_HOME/OrbDial.ini" "read-only folder"
  echo "read-only folder: a read-only bind mount"
elif [[ $(id -u) != 0 ]]; then
  chmod 0500 "$XDG_CONFIG_HOME"
  save_refused "read-only folder"
  unchanged "$XDG_CONFIG_HOME/OrbDial.ini" "read-only folder"
  echo "read-only folder: mode 0500"
else
  chmod 0500 "$XDG_CONFIG_HOME"
  echo "read-only folder: mode 0500, which does not bind root: the save is not tried"
fi
starts_with read-only "${stored[@]}"

# A directory, then a pipe, in the file's place.
export XDG_CONFIG_HOME=$WORK/odd
mkdir -p "$XDG_CONFIG_HOME/OrbDial.ini"
save_refused "directory"
[[ -d $XDG_CONFIG_HOME/OrbDial.ini ]] || fail "the directory in the file's place went"
starts_with directory "${defaults[@]}"
rmdir "$XDG_CONFIG_HOME/OrbDial.ini"
mkfifo "$XDG_CONFIG_HOME/OrbDial.ini"
starts_with pipe "${defaults[@]}"
[[ -p $XDG_CONFIG_HOME/OrbDial.ini ]] || fail "the pipe in the file's place went"
echo "ok"
