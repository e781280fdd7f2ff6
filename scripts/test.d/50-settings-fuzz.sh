#!/usr/bin/env bash
# A short libFuzzer run over the settings file's INI rules (clang, ASan, UBSan).
set -euo pipefail
cmake -S . -B build-fuzz -DCMAKE_CXX_COMPILER=clang++ -DORBIDIAL_FUZZ=ON -DORBIDIAL_BENCH=OFF >/dev/null
cmake --build build-fuzz -j 2 --target profile_fuzz
mkdir -p build-fuzz/profile-corpus
printf 'a[Setting]\r\nColor=1\r\nHan=2\r\n' >build-fuzz/profile-corpus/seed
build-fuzz/tests/settings/profile_fuzz -max_total_time=20 -max_len=512 build-fuzz/profile-corpus
