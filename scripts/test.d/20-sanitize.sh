#!/usr/bin/env bash
# The unit and renderer tests again under AddressSanitizer + UBSan.
set -euo pipefail
cmake --preset sanitize >/dev/null
cmake --build --preset sanitize -j "$(nproc)"
ctest --preset sanitize -j 2 -LE slow
