#!/usr/bin/env bash
# Fails when the binary needs a shared library beyond the C++ runtime (and the
# sanitizer runtimes of the test build) and the few libraries the core is allowed.
# libsndfile is not among them: the core loads it only for an audio file.
# Usage: links_test.sh BINARY [static|shared]; static: the C++ runtime is linked in,
# and needing its shared libraries fails too.
set -euo pipefail
needed=$(readelf -d "$1" | sed -n 's/.*Shared library: \[\(.*\)\]/\1/p')
runtime=${2:-shared}
status=0
for lib in $needed; do
  case "$lib" in
    libstdc++.so.* | libgcc_s.so.*) [ "$runtime" = shared ] || { echo "C++ runtime not linked in: $lib"; status=1; } ;;
    libm.so.* | libc.so.* | ld-linux*.so.* | libasan.so.* | libubsan.so.*) ;;
    libsleef.so.*) ;;  # the vector math of the fast engine
    *) echo "unexpected library: $lib"; status=1 ;;
  esac
done
echo "needs: $needed"
exit $status
