#!/usr/bin/env bash
# Installs what is needed, builds the player and runs every test: once as
# built for use, then the Debian package's checks, then a short regression run
# of the fuzzers, then every test again built with AddressSanitizer and
# UndefinedBehaviorSanitizer.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
# The builds are CMakePresets.json's: default (benchmarks built, so they keep
# compiling), asan and web.
cmake --preset default
cmake --build --preset default
ctest --preset default

# The WebAssembly build, held to the desktop player's transcripts.
bash scripts/test-web.sh

# The Debian package, installed with apt into a clean Debian 12 root.
bash scripts/test-package.sh

bash scripts/fuzz.sh --regression

# Any memory error, leak or undefined behaviour fails the test that met it.
# Leaks that system libraries keep for the life of the process are listed in
# tests/lsan.supp (the preset sets the sanitizers' options).
cmake --preset asan
cmake --build --preset asan
ctest --preset asan
