#!/usr/bin/env bash
# Both writers of the programs, the renderer's PNG and the settings save, put
# a file in place the same durable way: the new content is flushed under a
# hidden temporary name in the target's folder, renamed over the target, and
# then the folder itself is flushed, so that a power cut after the write
# reports success brings back neither the old file nor an empty one.
# Usage: durable_writes.sh ORBIDIAL_RENDER SETTINGS_SAVE FAULT_PRELOAD
set -euo pipefail
render=$1 save=$2 preload=$3
work=$(realpath "$(mktemp -d)")
trap 'rm -rf "$work"' EXIT
export ASAN_OPTIONS=${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

# check_trace NAME TARGET: the trace holds, in this order and next to each
# other, the temporary's fsync, its rename over TARGET, the folder's fsync.
check_trace() {
  local name=$1 target=$2 folder=${2%/*} base=${2##*/}
  local trace=$work/trace
  awk -v folder="$folder" -v base="$base" -v target="$target" '
    $1 == "fsync" && index($2, folder "/." base ".") == 1 && length($2) == length(folder "/." base ".") + 6 {
      tmp = $2; step = 1; next
    }
    step == 1 && $1 == "rename" && $2 == tmp && $3 == target { step = 2; next }
    step == 2 && $1 == "fsync" && $2 == folder { found = 1 }
    { step = 0 }
    END { exit !found }' "$trace" || fail "$name: not flushed, renamed and its folder flushed: $(cat "$trace")"
  echo "$name: $(tr '\n' ';' <"$trace")"
}

mkdir -p "$work/out"
: >"$work/trace"
ORBIDIAL_FAULT_TRACE=$work/trace LD_PRELOAD=$preload "$render" --size 64x48 -o "$work/out/face.png" \
  >/dev/null || fail "the renderer failed"
check_trace png "$work/out/face.png"

export XDG_CONFIG_HOME=$work/config
mkdir -p "$XDG_CONFIG_HOME"
: >"$work/trace"
ORBIDIAL_FAULT_TRACE=$work/trace LD_PRELOAD=$preload "$save" 0 2 >/dev/null || fail "the save failed"
check_trace settings "$XDG_CONFIG_HOME/OrbDial.ini"
echo "ok"
