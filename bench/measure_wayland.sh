#!/usr/bin/env bash
# The native Wayland saver under headless sway, by hand, on two outputs
# (1280x720 and 1024x768; SCALE applies to the first):
#  - from its start to its first face sent and drawn, over RUNS starts;
#  - the CPU of the saver and of sway over SECONDS with the clock running;
#  - the size of the back end in lines.
#   bench/measure_wayland.sh ORBIDIAL ORBIDIAL_RENDER SHOTS_DIR [SECONDS] [RUNS] [SCALE]
# shellcheck source=../tests/wayland/lib.sh
source "$(dirname "$0")/../tests/wayland/lib.sh"
seconds=${4:-60}
runs=${5:-7}
scale=${6:-1}
export ORBIDIAL_TEST_DATADIR=${ORBIDIAL_TEST_DATADIR:-$(dirname "$ORBIDIAL")/../share}

start_sway
add_output
second=$NEW_OUTPUT
set_output HEADLESS-1 1280x720 0 0 "$scale"
set_output "$second" 1024x768 1280 0
park_pointer

median() { sort -n | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }

# The saver's own protocol log (WAYLAND_DEBUG, which slows it a little, so
# the figures are upper bounds) tells when the first face left for the
# compositor (its buffer committed) and when the compositor had drawn it (the
# done event of the frame callback asked for with that commit). The log's
# clock is the wall clock's microseconds in 32 bits, printed in ms.
echo "first face, $runs starts (ms after the start):"
sent=() shown=()
for ((run = 0; run < runs; run++)); do
  started=$(date +%s%6N)
  WAYLAND_DEBUG=client "$ORBIDIAL" 2>"$WORK/protocol.log" &
  pid=$!
  sleep 0.8
  kill -TERM "$pid"
  wait "$pid" || true
  read -r first drawn < <(awk '
    function ms(line) { return substr(line, 2, index(line, "]") - 2) + 0 }
    /damage_buffer/ && !first { first = ms($0) }
    first && !callback && match($0, /frame\(new id wl_callback@[0-9]+/) {
      callback = substr($0, RSTART + 25, RLENGTH - 25)
    }
    callback && index($0, "wl_callback@" callback ".done") { print first, ms($0); exit }
  ' "$WORK/protocol.log")
  start_ms=$(awk -v us=$((started % 4294967296)) 'BEGIN {printf "%.3f", us / 1000}')
  sent+=("$(awk -v a="$first" -v b="$start_ms" 'BEGIN {printf "%.1f", a - b}')")
  shown+=("$(awk -v a="$drawn" -v b="$start_ms" 'BEGIN {printf "%.1f", a - b}')")
  echo "  run $((run + 1)): sent after ${sent[-1]}, drawn by the compositor after ${shown[-1]}"
done
echo "median: sent after $(printf '%s\n' "${sent[@]}" | median) ms, drawn after $(printf '%s\n' "${shown[@]}" | median) ms"

# CPU time in nanoseconds, from the scheduler's own account.
cpu() { awk '{print $1}' "/proc/$1/schedstat"; }
start_client "$ORBIDIAL"
saver_pid=$CLIENT_PID
sleep 3
declare -A before
watched=("$saver_pid" "$COMPOSITOR_PID")
[[ -z $VIRTUAL_POINTER_PID ]] || watched+=("$VIRTUAL_POINTER_PID")
for pid in "${watched[@]}"; do before[$pid]=$(cpu "$pid"); done
sleep "$seconds"
echo "CPU over ${seconds}s, the clock running on two outputs:"
for pid in "${watched[@]}"; do
  printf '  %-10s %6.3f %% of a core\n' "$(cat "/proc/$pid/comm")" \
    "$(awk -v d=$(($(cpu "$pid") - ${before[$pid]})) -v s="$seconds" 'BEGIN {print d * 100 / (s * 1e9)}')"
done
grep -E '^(VmHWM|VmRSS)' "/proc/$saver_pid/status" | sed 's/^/  saver /'
for output in HEADLESS-1 "$second"; do output_shot "$output" "running-$output" >/dev/null; done
keys -k Escape
client_exits_with 0

root=$(dirname "$0")/..
echo "the back end in lines:"
(cd "$root/shell" && wc -l clock_window_wayland.* face_surface_wayland.* wayland_globals.* saver_lock_posix.*)
