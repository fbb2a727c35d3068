#!/usr/bin/env bash
# Builds the Debian package of the player into dist/ (vorn_VERSION_ARCH.deb),
# compiled with Debian's hardening flags in a build folder of its own.
# Usage: scripts/package.sh   (prints the package's path on its last line)
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh

# The flags Debian builds its own packages with: fortified, read-only
# relocations bound at load time.
export DEB_BUILD_MAINT_OPTIONS=hardening=+all
eval "$(dpkg-buildflags --export=sh)"

# Given on the command line, not through the environment, which CMake reads
# only when a build folder is first made; CMake reads no CPPFLAGS.
cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=Release \
  -DCMAKE_INSTALL_PREFIX=/usr -DCMAKE_CXX_FLAGS="$CPPFLAGS $CXXFLAGS" -DCMAKE_EXE_LINKER_FLAGS="$LDFLAGS" \
  -DVORN_BUILD_TESTS=OFF -DVORN_BUILD_BENCH=OFF >/dev/null
cmake --build build-package
(cd build-package && cpack -G DEB >/dev/null)

mkdir -p dist
rm -f dist/vorn_*.deb
cp build-package/vorn_*.deb dist/
ls dist/vorn_*.deb
