#!/usr/bin/env bash
# Builds Melotrix and runs every test, then builds the Qt-free parts again
# with AddressSanitizer and UndefinedBehaviorSanitizer and runs their tests.
set -euo pipefail
cd "$(dirname "$0")"

./scripts/deps.sh

jobs=$(nproc)

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build -j "$jobs"
ctest --test-dir build --output-on-failure -j "$jobs"

cmake -S . -B build-asan -DCMAKE_BUILD_TYPE=Debug -DMELOTRIX_SANITIZE=ON -DMELOTRIX_BENCH=OFF -DMELOTRIX_QT=OFF
cmake --build build-asan -j "$jobs"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --test-dir build-asan --output-on-failure -j "$jobs"
