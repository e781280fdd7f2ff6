#!/usr/bin/env bash
# Builds the package again from a copy of the source tree in another folder
# and checks that the programs come out byte for byte the same, before and
# after stripping, and that none names a folder of either build.
# Run from the source tree after scripts/package.sh (the package stage does).
set -euo pipefail
here=$PWD
elsewhere=$(mktemp -d /tmp/orbidial-elsewhere-XXXXXX)
trap 'rm -rf "$elsewhere"' EXIT
mkdir "$elsewhere/source" "$elsewhere/first" "$elsewhere/second"
tar -C "$here" --exclude='./build*' --exclude=./.git -cf - . | tar -C "$elsewhere/source" -xf -
(cd "$elsewhere/source" && scripts/package.sh >/dev/null)

dpkg-deb -x "$(ls build-deb/orbidial_*.deb)" "$elsewhere/first"
dpkg-deb -x "$(ls "$elsewhere"/source/build-deb/orbidial_*.deb)" "$elsewhere/second"
fail=0
for program in orbidial orbidial-render; do
  cmp -s "build-deb/shell/$program" "$elsewhere/source/build-deb/shell/$program" ||
    { echo "$program differs between the two builds"; fail=1; }
  cmp -s "$elsewhere/first/usr/bin/$program" "$elsewhere/second/usr/bin/$program" ||
    { echo "the packaged $program differs between the two builds"; fail=1; }
  for file in "build-deb/shell/$program" "$elsewhere/first/usr/bin/$program"; do
    if grep -aqF -e "$here" -e "$elsewhere" "$file"; then
      echo "$file names a build folder: $(strings "$file" | grep -F -e "$here" -e "$elsewhere" | head -3)"
      fail=1
    fi
  done
done
if [ "$fail" -ne 0 ]; then echo "reproducible: 0 passed, 1 failed"; exit 1; fi
echo "reproducible: 1 passed, 0 failed"
