#!/usr/bin/env bash
# Redraws the README's pictures with orbidial-render (build first).
set -euo pipefail
cd "$(dirname "$0")/.."
render=build/shell/orbidial-render
export ORBIDIAL_TEST_DATADIR=$PWD/build/share
at="2026-12-09 10:08:30"
out=docs/images
mkdir -p "$out"
"$render" --size 1280x720 --at "$at" --style 0 --theme 3 -o "$out/style0-theme3.png"
"$render" --size 1280x720 --at "$at" --style 1 --theme 3 -o "$out/style1-theme3.png"
"$render" --size 1280x720 --at "$at" --style 2 --theme 3 -o "$out/style2-theme3.png"
"$render" --size 1280x720 --at "$at" --style 1 --theme 0 -o "$out/style1-theme0.png"
"$render" --size 1280x720 --at "$at" --style 1 --theme 6 -o "$out/style1-theme6.png"
"$render" --size 1280x720 --at "$at" --style 0 --theme 2 -o "$out/style0-theme2.png"
