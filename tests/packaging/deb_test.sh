#!/usr/bin/env bash
# Checks the metadata and contents of the .deb that scripts/package.sh built,
# and lintian's verdict on it.
set -euo pipefail
deb=$(ls build-deb/orbidial_*_*.deb)
info=$(dpkg-deb --info "$deb")
contents=$(dpkg-deb --contents "$deb" | awk '{print $6}')
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' build-deb/CMakeCache.txt)
fail=0
need_dep() { grep -q "Depends:.*$1" <<<"$info" || { echo "Depends lacks $1"; fail=1; }; }
need_file() { grep -qx "./$1" <<<"$contents" || { echo ".deb lacks /$1"; fail=1; }; }
need_dep fonts-noto-cjk
need_dep fonts-arphic-gkai00mp
if [[ -z $version ]] || ! grep -q "^ Version: $version$" <<<"$info"; then
  echo "the package's version is not $version"; fail=1
fi
for lib in 'libc6 (' libx11 libxext libgtk-3 libfreetype libfontconfig libpng; do need_dep "$lib"; done
for f in usr/bin/orbidial usr/bin/orbidial-render usr/libexec/xscreensaver/orbidial \
         usr/share/applications/orbidial.desktop usr/share/xscreensaver/config/orbidial.xml \
         usr/share/applications/screensavers/orbidial.desktop \
         usr/share/icons/hicolor/64x64/apps/orbidial.png usr/share/man/man1/orbidial.1.gz \
         usr/share/doc/orbidial/README.md usr/share/doc/orbidial/copyright \
         usr/share/doc/orbidial/changelog.gz usr/share/orbidial/orbidial-fonts.conf \
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
# The changelog's latest entry is this version.
top=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/doc/orbidial/changelog.gz | gzip -dc | head -1)
[[ $top == "orbidial ($version) "* ]] ||
  { echo "the changelog's latest entry is not for $version: $top"; fail=1; }

# lintian: no error and no warning.
if command -v lintian >/dev/null; then
  lint_status=0
  lint=$(lintian --fail-on error,warning "$deb" 2>&1) || lint_status=$?
  [[ $lint_status == 0 ]] || { echo "lintian says:"; grep -v '^running with root' <<<"$lint"; fail=1; }
else
  echo "lintian is missing (scripts/install-deps.sh --tests installs it)"; fail=1
fi
if [ "$fail" -ne 0 ]; then echo "deb-package: 0 passed, 1 failed"; exit 1; fi
echo "deb-package: 1 passed, 0 failed"
