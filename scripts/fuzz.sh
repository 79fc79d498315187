#!/usr/bin/env bash
# Fuzzes readers with libFuzzer (clang) for a while: scripts/fuzz.sh NAME|all [SECONDS]
# NAME is a fuzz/NAME_fuzz.cpp target (hex, description, options, font, ...); all fuzzes each
# in turn. New inputs that reach new code are kept in build-fuzz/corpus/NAME; to renew the
# committed corpus, minimise into it:
#   build-fuzz/fuzz/NAME_fuzz -merge=1 fuzz/corpus/NAME build-fuzz/corpus/NAME
set -euo pipefail
cd "$(dirname "$0")/.."
name=${1:?usage: scripts/fuzz.sh NAME|all [SECONDS]}
seconds=${2:-60}
scripts/install-packages.sh
if [ "$name" = all ]; then
  names=$(cd fuzz && ls *_fuzz.cpp | sed 's/_fuzz\.cpp$//')
else
  names=$name
fi
CC=clang CXX=clang++ cmake -S . -B build-fuzz -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DTOLMEO_LIBFUZZER=ON -DTOLMEO_SANITIZE=ON -DTOLMEO_BENCH=OFF
targets=()
for each in $names; do targets+=("${each}_fuzz"); done
cmake --build build-fuzz -j "$(nproc)" --target "${targets[@]}"
for each in $names; do
  echo "== fuzzing $each for $seconds s"
  mkdir -p "build-fuzz/corpus/$each"
  build-fuzz/fuzz/"${each}_fuzz" -max_total_time="$seconds" -print_final_stats=1 \
    "build-fuzz/corpus/$each" "fuzz/corpus/$each"
done
