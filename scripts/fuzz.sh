#!/usr/bin/env bash
# Fuzzes one reader with libFuzzer for a while: scripts/fuzz.sh NAME [SECONDS]
# NAME is a fuzz/NAME_fuzz.cpp target (hex, description, options, font, ...). New inputs that
# reach new code are kept in build-fuzz/corpus/NAME; copy the interesting ones into fuzz/corpus/NAME.
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: scripts/fuzz.sh NAME [SECONDS]}
seconds=${2:-60}
scripts/install-packages.sh
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLMEO_LIBFUZZER=ON -DTOLMEO_SANITIZE=ON -DTOLMEO_BENCH=OFF
cmake --build build-fuzz -j "$(nproc)" --target "${name}_fuzz"
mkdir -p "build-fuzz/corpus/$name"
build-fuzz/fuzz/"${name}_fuzz" -max_total_time="$seconds" "build-fuzz/corpus/$name" "fuzz/corpus/$name"
