#!/usr/bin/env bash
# What the browser page costs: every file it loads, raw and gzipped, then
# bench/measure_web.js in headless Chromium (first face, CPU, heap).
#   bench/measure_web.sh [MINUTES]   (after scripts/build-web.sh)
set -euo pipefail
cd "$(dirname "$0")/.."
site=build-web
raw=0
zipped=0
for file in orbidial.html orbidial.js orbidial-face.js fonts/orbidial-sans.woff2 fonts/orbidial-kai.woff2 \
            orbidial.webmanifest icons/orbidial-64.png service-worker.js; do
  r=$(stat -c %s "$site/$file")
  z=$(gzip -9c "$site/$file" | wc -c)
  printf '%-28s %8d raw %8d gzipped\n' "$file" "$r" "$z"
  raw=$((raw + r))
  zipped=$((zipped + z))
done
printf '%-28s %8d raw %8d gzipped\n' "everything the page loads" "$raw" "$zipped"
NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH} node bench/measure_web.js "$site" "${1:-10}"
