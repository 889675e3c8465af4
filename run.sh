#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Vocanta (Release) and starts it. Arguments
# go to the program: a document path, optionally followed by /b.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
install_deps

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVOCANTA_TESTS=OFF
cmake --build build -j "$(nproc)"
exec build/src/vocanta "$@"
