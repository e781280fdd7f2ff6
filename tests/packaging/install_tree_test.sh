#!/usr/bin/env bash
# Installs into a temporary DESTDIR and checks the tree and every file a
# desktop reads: the desktop entry, the xscreensaver description, the manual.
# Usage: install_tree_test.sh BUILD_DIR SOURCE_DIR
set -euo pipefail
build="$1"
src="$2"
dest=$(mktemp -d)
trap 'rm -rf "$dest"' EXIT
DESTDIR="$dest" cmake --install "$build" --prefix /usr/local >/dev/null
root="$dest/usr/local"
fail=0
expect() {
  if [ ! -e "$1" ] && [ ! -L "$1" ]; then echo "missing: ${1#"$dest"}"; fail=1; fi
}
expect "$root/bin/orbidial-render"
if [ -e "$build/shell/orbidial" ]; then
  expect "$root/bin/orbidial"
  expect "$root/libexec/xscreensaver/orbidial"
  [ "$(readlink -f "$root/libexec/xscreensaver/orbidial")" = "$(readlink -f "$root/bin/orbidial")" ] ||
    { echo "the xscreensaver hack does not lead to bin/orbidial"; fail=1; }
  # MATE's and Xfce's screen savers: the entry names the hack where it lies.
  saver="$root/share/applications/screensavers/orbidial.desktop"
  expect "$saver"
  if [ -e "$saver" ]; then
    desktop-file-validate --no-hints "$saver" || fail=1
    grep -qx 'Exec=/usr/local/libexec/xscreensaver/orbidial --root' "$saver" ||
      { echo "the screen-saver entry does not start the installed hack"; fail=1; }
    try=$(sed -n 's/^TryExec=//p' "$saver")
    [ -e "$dest$try" ] || { echo "the screen-saver entry's TryExec $try is not installed"; fail=1; }
    if ! grep -qx 'Categories=Screensaver;' "$saver" || ! grep -qx 'OnlyShowIn=MATE;XFCE;' "$saver" ||
       ! grep -q '^Name\[zh_CN\]=' "$saver"; then
      echo "the screen-saver entry is not one MATE and Xfce list"; fail=1
    fi
  fi
fi
expect "$root/share/xscreensaver/config/orbidial.xml"
expect "$root/share/applications/orbidial.desktop"
for size in 16 32 48 64 256; do
  icon="$root/share/icons/hicolor/${size}x${size}/apps/orbidial.png"
  expect "$icon"
  if [ -e "$icon" ] && command -v identify >/dev/null; then
    got=$(identify -format '%wx%h' "$icon")
    [ "$got" = "${size}x${size}" ] || { echo "icon $size is $got"; fail=1; }
  fi
done
expect "$root/share/man/man1/orbidial.1.gz"
expect "$root/share/man/man1/orbidial-render.1.gz"
for f in README.md copyright changelog.gz; do expect "$root/share/doc/orbidial/$f"; done

desktop-file-validate "$root/share/applications/orbidial.desktop" || fail=1
grep -q '^Exec=orbidial /c$' "$root/share/applications/orbidial.desktop" || { echo "desktop entry does not open the options"; fail=1; }
xmllint --noout "$root/share/xscreensaver/config/orbidial.xml" || fail=1
[ "$(xmllint --xpath 'string(/screensaver/@name)' "$root/share/xscreensaver/config/orbidial.xml")" = orbidial ] ||
  { echo "xscreensaver description names another program"; fail=1; }
warnings=$(LC_ALL=C.UTF-8 man --warnings -E UTF-8 -l "$root/share/man/man1/orbidial.1.gz" 2>&1 >/dev/null || true)
[ -z "$warnings" ] || { echo "manual page warnings: $warnings"; fail=1; }
# The manual names the version of the build and the installed alias file.
page=$(LC_ALL=C.UTF-8 MANWIDTH=200 man -E UTF-8 -l "$root/share/man/man1/orbidial.1.gz" 2>/dev/null)
version=$(sed -n 's/^CMAKE_PROJECT_VERSION:STATIC=//p' "$build/CMakeCache.txt")
grep -q "Orbidial $version" <<<"$page" || { echo "the manual page does not name version $version"; fail=1; }
grep -q "/usr/local/share/orbidial/orbidial-fonts.conf" <<<"$page" ||
  { echo "the manual page does not name the installed alias file"; fail=1; }
# The programs look only under their install prefix. (AddressSanitizer keeps
# the source paths of the globals it watches, whatever the prefix maps say:
# a sanitizer build is no build to install.)
if ! grep -q -- '-fsanitize=address' "$build/CMakeCache.txt"; then
  for program in "$root"/bin/*; do
    if grep -aqF -e "$build" -e "$src" "$program"; then
      echo "${program##*/} names the folder it was built in"; fail=1
    fi
  done
fi
if [ "$fail" -ne 0 ]; then echo "install-tree: 0 passed, 1 failed"; exit 1; fi
echo "install-tree: 1 passed, 0 failed"
