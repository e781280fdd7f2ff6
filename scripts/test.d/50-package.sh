#!/usr/bin/env bash
# The Debian package, built for /usr: its contents, lintian, and a second
# build in another folder that must give the same programs.
set -euo pipefail
scripts/package.sh >/dev/null
tests/packaging/deb_test.sh
tests/packaging/reproducible_test.sh
