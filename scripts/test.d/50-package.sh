#!/usr/bin/env bash
# The Debian package built from the native build, and its contents.
set -euo pipefail
tests/packaging/deb_test.sh build
