#!/usr/bin/env bash
# Checks the metadata and contents of the .deb that scripts/package.sh built.
set -euo pipefail
deb=$(ls build-deb/orbidial_*_*.deb)
info=$(dpkg-deb --info "$deb")
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
fail=0
need_dep() { grep -q "Depends:.*$1" <<<"$info" || { echo "Depends lacks $1"; fail=1; }; }
need_file() { grep -qx "./$1" <<<"$contents" || { echo ".deb lacks /$1"; fail=1; }; }
need_dep fonts-noto-cjk
need_dep fonts-arphic-gkai00mp
grep -q "Version: 1.3.3.0" <<<"$info" || { echo "wrong version"; fail=1; }
for lib in 'libc6 (' libx11 libxext libgtk-3 libfreetype libfontconfig libpng; do need_dep "$lib"; done
for f in usr/bin/orbidial usr/bin/orbidial-render usr/libexec/xscreensaver/orbidial \
         usr/share/applications/orbidial.desktop usr/share/xscreensaver/config/orbidial.xml \
         usr/share/applications/screensavers/orbidial.desktop \
         usr/share/icons/hicolor/64x64/apps/orbidial.png usr/share/man/man1/orbidial.1 \
         usr/share/doc/orbidial/README.md usr/share/orbidial/orbidial-fonts.conf \
         usr/share/fontconfig/conf.avail/65-orbidial-fonts.conf etc/fonts/conf.d/65-orbidial-fonts.conf; do
  need_file "$f"
done
entry=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/applications/screensavers/orbidial.desktop)
grep -qx 'Exec=/usr/libexec/xscreensaver/orbidial --root' <<<"$entry" ||
  { echo "the screen-saver entry does not start /usr/libexec/xscreensaver/orbidial"; fail=1; }
# The dialog's link names the README where the package puts it.
if ! grep -qx "ORBIDIAL_WEB_ADDRESS:STRING=file:///usr/share/doc/orbidial/README.md" build-deb/CMakeCache.txt; then
  echo "the options dialog's link does not lead to the packaged README"; fail=1
fi
[ "$fail" -eq 0 ] && echo "deb-package: 1 passed, 0 failed" || { echo "deb-package: 0 passed, 1 failed"; exit 1; }
