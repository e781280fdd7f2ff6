#!/usr/bin/env bash
# Every test again under AddressSanitizer + UBSan, the end-to-end ones too.
set -euo pipefail
cmake --preset sanitize -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build --preset sanitize -j "$(nproc)"
# LeakSanitizer looks at every program but the GTK options dialog, whose
# toolkit keeps memory to the end on purpose (the tests that run it turn
# detect_leaks off for it alone). The lint is the native stage's.
ctest --preset sanitize -j 2 -LE lint
