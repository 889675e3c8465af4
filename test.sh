#!/usr/bin/env bash
# Sets up a fresh Debian machine and runs every test, built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
install_deps

build_dir=build-test
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Debug -DVOCANTA_SANITIZE=ON -DVOCANTA_TESTS=ON
cmake --build "$build_dir" -j "$(nproc)"
cd "$build_dir"
ASAN_OPTIONS=detect_leaks=1 UBSAN_OPTIONS=print_stacktrace=1 \
  ctest --output-on-failure --timeout 300 -j "$(nproc)"
