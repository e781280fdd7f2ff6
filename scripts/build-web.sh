#!/usr/bin/env bash
# Builds Orbidial for the browser into build-web/ with emscripten:
#   orbidial.html           the live face (open it, or serve the folder)
#   orbidial-render.js      the renderer's command line for node (--calls)
# with the page's module, the font subsets and their licences, the web
# manifest, the icons and the service worker beside them. Further arguments
# go to CMake.
set -euo pipefail
cd "$(dirname "$0")/.."
out=build-web
work=$out/cmake
generated=$work/generated
mkdir -p "$generated" "$out/fonts" "$out/icons"
# Debian's emscripten finds acorn, for its JavaScript optimiser, only here.
export NODE_PATH=/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}
# Debian's fontTools is the system Python's.
python=/usr/bin/python3

emcmake cmake -S . -B "$work" -DCMAKE_BUILD_TYPE=Release -DORBIDIAL_TESTS=OFF -DORBIDIAL_BENCH=OFF \
  -DORBIDIAL_WEB_GENERATED="$PWD/$generated" "$@" >/dev/null
cmake --build "$work" -j "$(nproc)" --target orbidial-render-node
cp "$work/web/orbidial-render.js" "$out/"

# Each font cut to the characters the face draws with it, as the face itself
# lists them.
node "$out/orbidial-render.js" --characters >"$generated/characters.txt"
subset() {  # FACE FAMILY OUTPUT
  local characters source
  characters=$(awk -F '\t' -v face="$1" '$1 == face { print $2 }' "$generated/characters.txt")
  [[ -n $characters ]] || { echo "build-web: the face draws nothing in $1" >&2; exit 1; }
  source=$(fc-match -f '%{file}|%{index}' "$2")
  [[ $source == *"|"* && -f ${source%|*} ]] || { echo "build-web: no font for $2 (scripts/install-deps.sh)" >&2; exit 1; }
  # Unhinted, as the saver draws its glyphs.
  "$python" -m fontTools.subset "${source%|*}" --font-number="${source#*|}" --text="$characters" \
    --flavor=woff2 --no-hinting --desubroutinize --layout-features='' --output-file="$3"
}
subset 微软雅黑 'Noto Sans CJK SC:bold' "$out/fonts/orbidial-sans.woff2"
subset 楷体 'AR PL KaitiM GB' "$out/fonts/orbidial-kai.woff2"
cp /usr/share/doc/fonts-noto-cjk/copyright "$out/fonts/LICENSE-noto-sans-cjk.txt"
cp /usr/share/doc/fonts-arphic-gkai00mp/copyright "$out/fonts/LICENSE-arphic-kaitim-gb.txt"
cp web/fonts-README.txt "$out/fonts/README.txt"
"$python" web/font_metrics.py "$out/fonts/orbidial-sans.woff2" "$out/fonts/orbidial-kai.woff2" \
  >"$generated/web_font_metrics.h.new"
# Rebuilt only when the ratios change.
cmp -s "$generated/web_font_metrics.h.new" "$generated/web_font_metrics.h" ||
  mv "$generated/web_font_metrics.h.new" "$generated/web_font_metrics.h"
rm -f "$generated/web_font_metrics.h.new"

cmake --build "$work" -j "$(nproc)" --target orbidial-page
cp "$work/web/orbidial-face.js" "$out/"
cp web/orbidial.html web/orbidial.js web/orbidial.webmanifest "$out/"
for size in 48 64 256; do cp "resources/icons/orbidial-$size.png" "$out/icons/"; done

# The service worker keeps every file the page loads; its cache is named by
# their contents, so a new build replaces the old cache.
files=(orbidial.html orbidial.js orbidial-face.js orbidial.webmanifest
       fonts/orbidial-sans.woff2 fonts/orbidial-kai.woff2 icons/orbidial-48.png icons/orbidial-64.png
       icons/orbidial-256.png)
version=$(cd "$out" && cat "${files[@]}" | sha256sum | cut -c1-16)
list=$(printf "'%s', " "${files[@]}")
sed -e "s|@VERSION@|$version|" -e "s|@FILES@|${list%, }|" web/service-worker.js >"$out/service-worker.js"
echo "build-web: $out/orbidial.html"
