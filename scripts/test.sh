#!/usr/bin/env bash
# Builds Tolmeo and runs every test twice: a normal build, then one under AddressSanitizer and
# UndefinedBehaviorSanitizer; then, where clang is there, fuzzes each reader for a short while
# (TOLMEO_FUZZ_SECONDS each, 20 by default; 0 skips it).
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
jobs=$(nproc)

cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-sanitize -G Ninja -DCMAKE_BUILD_TYPE=Debug -DTOLMEO_SANITIZE=ON -DTOLMEO_BENCH=OFF
cmake --build build-sanitize -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp" \
  ctest --test-dir build-sanitize --output-on-failure -j "$jobs"

fuzz_seconds=${TOLMEO_FUZZ_SECONDS:-20}
if [ "$fuzz_seconds" -gt 0 ] && command -v clang++ >/dev/null; then
  scripts/fuzz.sh all "$fuzz_seconds"
fi
