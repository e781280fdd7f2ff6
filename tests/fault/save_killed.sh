#!/usr/bin/env bash
# A save killed (SIGKILL) at each rename it makes, into an existing
# hand-edited file and into none: afterwards the file is the old one or the
# new one byte for byte, never torn, empty or half updated; the temporaries
# left behind do not stop the next save.
# Usage: save_killed.sh SETTINGS_SAVE FAULT_PRELOAD
set -euo pipefail
save=$1 preload=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
export XDG_CONFIG_HOME=$work/config
ini=$XDG_CONFIG_HOME/OrbDial.ini
# An ASan program would refuse a library loaded ahead of its runtime.
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0

fail() {
  echo "FAIL: $*" >&2
  exit 1
}

old=$'; kept by hand\n[Setting]\nColor=1\nHan=1\n\n[Other]\nx=y\n'
new=$'; kept by hand\n[Setting]\nColor=0\nHan=2\n\n[Other]\nx=y\n'
fresh=$'[Setting]\nColor=0\nHan=2\n'

# killed_save N: the save 0 2 with a SIGKILL at its N-th rename; "killed" or
# "finished" on stdout.
killed_save() {
  local status=0
  ORBIDIAL_FAULT_KILL_AT_RENAME=$1 LD_PRELOAD=$preload "$save" 0 2 >"$work/out" 2>"$work/err" || status=$?
  if ((status == 137)); then
    echo killed
  elif ((status == 0)); then
    echo finished
  else
    fail "save ended with $status: $(cat "$work/err")"
  fi
}

for before in old none; do
  for n in 1 2 3; do
    rm -rf "$XDG_CONFIG_HOME"
    mkdir -p "$XDG_CONFIG_HOME"
    [[ $before == old ]] && printf '%s' "$old" >"$ini"
    outcome=$(killed_save "$n")
    if [[ $before == old ]]; then
      want_new=$new
      if [[ $(cat "$ini"; echo .) != "$old." && $(cat "$ini"; echo .) != "$new." ]]; then
        fail "killed at rename $n ($outcome): the file is neither the old nor the new one: $(cat "$ini")"
      fi
    else
      want_new=$fresh
      if [[ -e $ini && $(cat "$ini"; echo .) != "$fresh." ]]; then
        fail "killed at rename $n ($outcome) with no file before: $(cat "$ini")"
      fi
    fi
    if [[ $outcome == finished && $(cat "$ini"; echo .) != "$want_new." ]]; then
      fail "a save that ran through wrote: $(cat "$ini")"
    fi
    echo "before: $before, kill at rename $n: $outcome, file $( [[ -e $ini ]] && sha256sum <"$ini" | cut -c1-12 || echo absent)"

    # The next save, with whatever temporaries the killed one left.
    "$save" 1 0 >"$work/out" || fail "the save after a killed one failed: $(cat "$work/out")"
    grep -qx 'warnings 0' "$work/out" || fail "the save after a killed one warned"
    grep -qx 'Color=1' "$ini" || fail "the next save wrote: $(cat "$ini")"
    grep -qx 'Han=0' "$ini" || fail "the next save wrote: $(cat "$ini")"
    [[ $before == none ]] || grep -qx 'x=y' "$ini" || fail "the next save lost a hand-written line"
  done
done
echo "ok"
