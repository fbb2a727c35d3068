#!/usr/bin/env bash
# Builds the WebAssembly version of the player into build-web/ with Emscripten
# (Debian's emscripten package): build-web/vorn-headless, the headless player
# for Node.js, and the page's player, vorn-web.js, with its scripts.
set -euo pipefail
cd "$(dirname "$0")/.."
# Emscripten's JavaScript tools need Debian's Node.js modules (acorn) also
# where another Node.js comes first on the PATH.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
# The page's own parts from npm, as pinned in its package-lock.json.
[ -d src/presentation/web/node_modules/fflate ] || npm ci --prefix src/presentation/web --no-audit --no-fund
toolchain=/usr/share/emscripten/cmake/Modules/Platform/Emscripten.cmake
cmake -S . -B build-web -G Ninja -DCMAKE_BUILD_TYPE=Release -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DVORN_BUILD_TESTS=OFF
cmake --build build-web
