#!/usr/bin/env bash
# Builds Tolmeo and starts it from its run folder.
set -euo pipefail
cd "$(dirname "$0")/.."
scripts/install-packages.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$(nproc)" --target tolmeo tolmeo-cli run_folder
exec build/run/tolmeo "$@"
