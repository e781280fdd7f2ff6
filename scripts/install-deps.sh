#!/usr/bin/env bash
# Installs the Debian packages Orbidial needs, only those that are missing.
#   scripts/install-deps.sh          what building and running need
#   scripts/install-deps.sh --tests  and what every test needs (Xvfb, xdotool,
#                                    mingw-w64 and Wine for the Windows build, clang,
#                                    headless sway, weston and phoc for the Wayland tests,
#                                    xscreensaver as a real host, dunst as a
#                                    notification daemon, and the linters
#                                    lintian and shellcheck)
set -euo pipefail

packages=(
  build-essential cmake pkg-config
  libfreetype-dev libfontconfig-dev libpng-dev
  libx11-dev libxext-dev libxrandr-dev libgtk-3-dev
  libgtk-layer-shell-dev libwayland-dev libxkbcommon-dev wayland-protocols
  libgtest-dev libgmock-dev libbenchmark-dev
  fonts-noto-cjk fonts-arphic-gkai00mp xdg-utils
)
if [[ "${1:-}" == "--tests" ]]; then
  packages+=(
    xvfb xauth xdotool x11-utils x11-apps imagemagick
    g++-mingw-w64-x86-64 mingw-w64-tools wine wine64 googletest faketime tzdata
    clang libclang-rt-14-dev valgrind
    desktop-file-utils libxml2-utils man-db dpkg-dev file time python3
    sway swayidle grim wtype wayvnc weston phoc xwayland x11-xserver-utils jq xscreensaver
    dunst libnotify-bin
    lintian shellcheck
  )
fi

missing=()
for p in "${packages[@]}"; do
  if ! dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed"; then
    missing+=("$p")
  fi
done
if ((${#missing[@]})); then
  echo "installing: ${missing[*]}"
  if [[ $(id -u) -ne 0 ]]; then SUDO=sudo; else SUDO=; fi
  export DEBIAN_FRONTEND=noninteractive
  $SUDO apt-get update -qq
  # With recommends, as the tests were made with them (Wine's own fonts among them).
  $SUDO apt-get install -y -qq "${missing[@]}" >/dev/null
fi
