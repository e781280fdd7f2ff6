#!/usr/bin/env bash
# The main job: installs what is missing, builds, and shows the clock.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-deps.sh
scripts/build.sh
out="$PWD/build/orbidial-now.png"
build/shell/orbidial-render -o "$out" >/dev/null
echo "drew the current time into $out"
