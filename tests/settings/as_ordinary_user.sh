#!/usr/bin/env bash
# Runs a test program as an ordinary user, since file permissions do not bind
# root: as the caller when that is one already, else (CI runs as root) as
# nobody, with a home folder of its own.
#   as_ordinary_user.sh PROGRAM [ARGS...]
set -euo pipefail
if [[ $(id -u) != 0 ]]; then
  exec "$@"
fi
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
chown 65534:65534 "$home"
setpriv --reuid=65534 --regid=65534 --clear-groups env HOME="$home" "$@"
