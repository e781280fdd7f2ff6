#!/usr/bin/env bash
# The unit and renderer tests again under AddressSanitizer + UBSan.
set -euo pipefail
cmake --preset sanitize -DCMAKE_COMPILE_WARNING_AS_ERROR=ON >/dev/null
cmake --build --preset sanitize -j "$(nproc)"
# The X and GTK end-to-end runs stay out: the toolkits keep memory to the
# end on purpose, which LeakSanitizer would report.
ctest --preset sanitize -j 2 -LE "e2e|lint"
