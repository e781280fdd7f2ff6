#!/usr/bin/env bash
# The native Wayland saver under headless sway, by hand, on two outputs
# (1280x720 and 1024x768; SCALE applies to the first):
#  - from its start to its first face sent and drawn, over RUNS starts;
#  - the CPU of the saver and of sway over SECONDS with the clock running;
#  - the size of the back end in lines.
#   bench/measure_wayland.sh ORBIDIAL ORBIDIAL_RENDER SHOTS_DIR [SECONDS] [RUNS] [SCALE]
# ROUNDS=N instead compares, on one 1920x1080 output (SIZE=WxH for another),
# what sway spends a second with the saver against orbidial_floor_wayland
# (FLOOR=path, beside ORBIDIAL's build by default: a window damaging 50
# squares of 40 x 40 each second), each less sway's idle, in N interleaved
# rounds of SECONDS, with the medians and their ratio.
# shellcheck source=../tests/wayland/lib.sh
source "$(dirname "$0")/../tests/wayland/lib.sh"
seconds=${4:-60}
runs=${5:-7}
scale=${6:-1}
export ORBIDIAL_TEST_DATADIR=${ORBIDIAL_TEST_DATADIR:-$(dirname "$ORBIDIAL")/../share}

median() { sort -n | awk '{a[NR] = $1} END {print (NR % 2) ? a[(NR + 1) / 2] : (a[NR / 2] + a[NR / 2 + 1]) / 2}'; }
# CPU time in nanoseconds, from the scheduler's own account.
cpu() { awk '{print $1}' "/proc/$1/schedstat"; }

start_sway

if [[ -n ${ROUNDS:-} ]]; then
  floor=${FLOOR:-$(dirname "$ORBIDIAL")/../bench/orbidial_floor_wayland}
  set_output HEADLESS-1 "${SIZE:-1920x1080}" 0 0
  park_pointer
  # ms a second of sway and of the client (none: "") over SECONDS, after
  # WARM seconds.
  measure() {
    local client=$1 warm=$2 s0 c0=0 t0 s1 c1=0 t1
    if [[ -n $client ]]; then
      start_client "$client"
      sleep "$warm"
      kill -0 "$CLIENT_PID" 2>/dev/null || fail "$client ended: $(cat "$WORK/client.err")"
      c0=$(cpu "$CLIENT_PID")
    fi
    s0=$(cpu "$COMPOSITOR_PID") t0=$(date +%s%N)
    sleep "$seconds"
    s1=$(cpu "$COMPOSITOR_PID") t1=$(date +%s%N)
    if [[ -n $client ]]; then
      c1=$(cpu "$CLIENT_PID")
      kill "$CLIENT_PID"
      wait "$CLIENT_PID" 2>/dev/null || true
    fi
    awk -v s=$((s1 - s0)) -v c=$((c1 - c0)) -v t=$((t1 - t0)) 'BEGIN { printf "%.4f %.4f\n", s / 1e6 / (t / 1e9), c / 1e6 / (t / 1e9) }'
  }
  for ((round = 0; round < ROUNDS; round++)); do
    measure "" 0 >>"$WORK/idle"
    measure "$ORBIDIAL" 3 >>"$WORK/saver"
    measure "$floor" 1 >>"$WORK/floor"
  done
  idle=$(awk '{print $1}' "$WORK/idle" | median)
  saver=$(awk '{print $1}' "$WORK/saver" | median) saver_own=$(awk '{print $2}' "$WORK/saver" | median)
  floor_ms=$(awk '{print $1}' "$WORK/floor" | median) floor_own=$(awk '{print $2}' "$WORK/floor" | median)
  echo "ms of CPU a second, medians of $ROUNDS rounds of ${seconds}s, ${SIZE:-1920x1080}:"
  awk -v i="$idle" -v s="$saver" -v so="$saver_own" -v f="$floor_ms" -v fo="$floor_own" 'BEGIN {
    printf "  sway idle %.3f; with the saver %.3f (saver %.3f); with the floor %.3f (floor %.3f)\n", i, s, so, f, fo
    printf "  sway added: saver %.3f, floor %.3f, ratio %.2f\n", s - i, f - i, (s - i) / (f - i) }'
  exit 0
fi

add_output
second=$NEW_OUTPUT
set_output HEADLESS-1 1280x720 0 0 "$scale"
set_output "$second" 1024x768 1280 0
park_pointer

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
