#!/usr/bin/env bash
# Installs what is needed, builds the player and runs every test: once as
# built for use, then the Debian package's checks, then a short regression run
# of the fuzzers, then every test again built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_BUILD_BENCH=ON # benchmarks built, so they keep compiling
cmake --build build
ctest --test-dir build --output-on-failure --timeout 300

# The Debian package, installed with apt into a clean Debian 12 root.
bash scripts/test-package.sh

bash scripts/fuzz.sh --regression

# Any memory error, leak or undefined behaviour fails the test that met it.
# Leaks that system libraries keep for the life of the process are listed in
# tests/lsan.supp.
cmake -S . -B build-asan -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVORN_SANITIZE=ON
cmake --build build-asan
ASAN_OPTIONS=detect_leaks=1:abort_on_error=0 \
LSAN_OPTIONS="suppressions=$PWD/tests/lsan.supp:print_suppressions=0" \
UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1 \
  ctest --test-dir build-asan --output-on-failure --timeout 300
