#!/usr/bin/env bash
# Builds the WebAssembly version of the player into build-web/ with Emscripten
# (Debian's emscripten package): build-web/vorn-headless, the headless player
# for Node.js, and the page: its player, vorn-web.js, with its scripts and music.
set -euo pipefail
cd "$(dirname "$0")/.."
# Emscripten's JavaScript tools need Debian's Node.js modules (acorn) also
# where another Node.js comes first on the PATH.
export NODE_PATH="/usr/share/nodejs${NODE_PATH:+:$NODE_PATH}"
# The page's npm parts (the synthesizer, zip reading, the test driver), as
# the lock file pins them; installed anew only when the lock file changes.
web=src/presentation/web
if [ ! -f "$web/node_modules/.package-lock.json" ] || [ "$web/package-lock.json" -nt "$web/node_modules/.package-lock.json" ]; then
  npm ci --prefix "$web" --no-audit --no-fund --loglevel=error
fi
# The preset `web` of CMakePresets.json: Emscripten's toolchain, built for size.
cmake --preset web
cmake --build --preset web
