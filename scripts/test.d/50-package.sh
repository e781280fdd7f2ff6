#!/usr/bin/env bash
# The Debian package, built for /usr, and its contents.
set -euo pipefail
scripts/package.sh >/dev/null
tests/packaging/deb_test.sh
