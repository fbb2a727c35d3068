#!/usr/bin/env bash
# Installs what is needed, builds the player and plays the bundled demo game.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup.sh
cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo
cmake --build build
exec build/vorn "$@" examples/demo
