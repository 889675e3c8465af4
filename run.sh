#!/usr/bin/env bash
# Sets up a fresh Debian machine, builds Vocanta (Release) and starts it.
set -euo pipefail
cd "$(dirname "$0")"
source scripts/install-deps.sh
install_deps

cmake -S . -B build -DCMAKE_BUILD_TYPE=Release -DVOCANTA_TESTS=OFF
cmake --build build -j "$(nproc)"

if [ -x build/src/vocanta ]; then
  exec build/src/vocanta "$@"
fi
echo
echo "Vocanta's command-line tool is built: build/src/vocanta-cli"
build/src/vocanta-cli --help
