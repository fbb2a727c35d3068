#!/usr/bin/env bash
# Installs what the WebAssembly build needs beyond scripts/setup.sh: Debian's
# Emscripten (with its prebuilt system libraries), Node.js and npm (for the
# page's own parts, see src/presentation/web/package.json), the General MIDI
# soundfont the page's music plays with, esbuild to bundle the page's modules,
# Chromium for the page's tests, and ImageMagick, which makes the icons of the
# page's web app manifest.
set -euo pipefail

packages=(emscripten nodejs timgm6mb-soundfont esbuild chromium imagemagick)

extra=()
if ! command -v node >/dev/null; then extra+=(nodejs); fi
# Debian's Node.js comes without npm; other builds of it bring their own.
if ! command -v npm >/dev/null; then extra+=(npm); fi

source "$(dirname "$0")/install_packages.sh"
install_packages "${packages[@]}" "${extra[@]}"
