#!/usr/bin/env bash
# Regenerates Orbidial's icon: a black clock face with six thin rings in
# fading greens and the current values marked in yellow at 3 o'clock.
# Writes orbidial-{16,32,48,64,256}.png and orbidial.ico (the five sizes)
# beside this script. Needs ImageMagick's convert.
set -euo pipefail
cd "$(dirname "$0")"

big=$(mktemp --suffix=.png)
trap 'rm -f "$big"' EXIT

# Drawn once at 1024 px and scaled down, so every size comes from one shape.
# Centre 512,512. Ring radii 150..440; each ring a circle of its own shade.
rings=()
shade=(60 95 130 165 200 235)
radius=(150 210 270 330 390 440)
for i in 0 1 2 3 4 5; do
  r=${radius[$i]}
  g=${shade[$i]}
  rings+=(-stroke "rgb(0,$g,40)" -strokewidth 22 -fill none
          -draw "circle 512,512 $((512 + r)),512")
done
# The current values: a yellow mark on every ring on the 3 o'clock line.
marks=()
for r in "${radius[@]}"; do
  marks+=(-draw "rectangle $((512 + r - 26)),494 $((512 + r + 26)),530")
done

convert -size 1024x1024 xc:none \
  -fill "rgb(8,10,16)" -stroke "rgb(250,250,0)" -strokewidth 28 \
  -draw "circle 512,512 512,16" \
  "${rings[@]}" \
  -stroke none -fill "rgb(250,250,0)" "${marks[@]}" \
  -draw "rectangle 470,494 554,530" \
  -draw "circle 512,512 512,560" \
  "$big"

for size in 16 32 48 64 256; do
  convert "$big" -filter Lanczos -resize "${size}x${size}" \
    -depth 8 -strip -define png:color-type=6 \
    -define png:exclude-chunks=date,time "orbidial-$size.png"
done
convert orbidial-16.png orbidial-32.png orbidial-48.png orbidial-64.png orbidial-256.png \
  -define png:exclude-chunks=date,time orbidial.ico
