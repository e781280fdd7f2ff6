#!/usr/bin/env bash
# Each fuzz target for a bounded time (four targets: about a minute in all).
set -euo pipefail
scripts/fuzz.sh "${ORBIDIAL_FUZZ_SECONDS:-15}" -DCMAKE_COMPILE_WARNING_AS_ERROR=ON
