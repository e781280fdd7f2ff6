#!/usr/bin/env bash
# Times the GDI frame of each numeral style under Wine, by hand: starts a
# private Xvfb big enough for the frame and a fresh Wine prefix, and runs
# gdi_frame_bench.exe of the Windows build.
#   bench/measure_wine.sh [BUILD_WIN] [DISPLAY] [WIDTH HEIGHT FRAMES]
#   e.g. bench/measure_wine.sh build-win :60 1920 1080 60
set -euo pipefail
here=$(dirname "$(realpath "$0")")
build=$(realpath "${1:-build-win}")
display=${2:-:60}
width=${3:-1920} height=${4:-1080} frames=${5:-60}
bench="$build/bench/gdi_frame_bench.exe"
[[ -x "$bench" ]] || { echo "no $bench: build the Windows build first" >&2; exit 1; }
export DISPLAY=$display WINEPREFIX
WINEPREFIX=$(mktemp -d /tmp/orbidial-wine-bench.XXXXXX)
Xvfb "$DISPLAY" -screen 0 "${width}x${height}x24" -nolisten tcp -noreset >/dev/null 2>&1 &
xvfb=$!
trap 'wineserver -k 2>/dev/null || true; kill $xvfb 2>/dev/null || true; rm -rf "$WINEPREFIX"' EXIT
for _ in $(seq 50); do xdpyinfo >/dev/null 2>&1 && break; sleep 0.1; done
# shellcheck source=../tests/e2e/wine-prefix.sh
source "$here/../tests/e2e/wine-prefix.sh"
wine_prefix_setup
wine "$bench" "$width" "$height" "$frames"
