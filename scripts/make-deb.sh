#!/usr/bin/env bash
# Builds the Debian package of Vocanta (Release, stripped, prefix /usr) in build-deb,
# checks it with lintian and prints its path. Install it with
#   sudo apt-get install ./build-deb/vocanta_VERSION_amd64.deb
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/install-deps.sh
install_deps
install_packages dpkg-dev fakeroot lintian file

# Debian's hardening flags (stack protector, fortified functions, read-only relocations
# bound at start); the Release build type keeps its own optimization.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all DEB_CXXFLAGS_MAINT_STRIP="-g -O2"
cxxflags="$(dpkg-buildflags --get CPPFLAGS) $(dpkg-buildflags --get CXXFLAGS)"
ldflags=$(dpkg-buildflags --get LDFLAGS)

build_dir=build-deb
cmake -S . -B "$build_dir" -DCMAKE_BUILD_TYPE=Release -DVOCANTA_TESTS=OFF -DVOCANTA_BENCH=OFF \
  -DCMAKE_CXX_FLAGS="$cxxflags" -DCMAKE_EXE_LINKER_FLAGS="$ldflags" \
  -DCMAKE_MODULE_LINKER_FLAGS="$ldflags"
cmake --build "$build_dir" -j "$(nproc)"
(cd "$build_dir" && rm -f ./*.deb && cpack -G DEB)
package=$(ls "$build_dir"/vocanta_*.deb)

# Lintian's errors fail the script; its warnings are printed for a person to judge.
lintian --fail-on error --info "$package"
echo "$package"
