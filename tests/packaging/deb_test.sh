#!/usr/bin/env bash
# Builds the .deb from BUILD_DIR and checks its metadata and contents.
set -euo pipefail
build="$1"
(cd "$build" && rm -f orbidial_*.deb && cpack -G DEB >/dev/null)
deb=$(ls "$build"/orbidial_*_*.deb)
info=$(dpkg-deb --info "$deb")
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
fail=0
need_dep() { grep -q "Depends:.*$1" <<<"$info" || { echo "Depends lacks $1"; fail=1; }; }
need_file() { grep -qx "./$1" <<<"$contents" || { echo ".deb lacks /$1"; fail=1; }; }
need_dep fonts-noto-cjk
need_dep fonts-arphic-gkai00mp
need_dep 'libc6 ('
grep -q "Version: 1.3.3.0" <<<"$info" || { echo "wrong version"; fail=1; }
need_file usr/bin/orbidial-render
need_file usr/share/applications/orbidial.desktop
need_file usr/share/xscreensaver/config/orbidial.xml
need_file usr/share/icons/hicolor/64x64/apps/orbidial.png
need_file usr/share/man/man1/orbidial.1
if [ -e "$build/shell/orbidial" ]; then
  need_file usr/bin/orbidial
  need_file usr/libexec/xscreensaver/orbidial
  for lib in libX11 libXext libgtk-3 libfreetype libfontconfig libpng; do need_dep "$lib"; done
fi
if [ -e "$PWD/resources/fontconfig/orbidial-fonts.conf" ]; then
  need_file usr/share/fontconfig/conf.avail/65-orbidial-fonts.conf
  need_file etc/fonts/conf.d/65-orbidial-fonts.conf
fi
[ "$fail" -eq 0 ] && echo "deb package: 1 passed, 0 failed" || { echo "deb package: 0 passed, 1 failed"; exit 1; }
