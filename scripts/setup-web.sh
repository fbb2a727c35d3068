#!/usr/bin/env bash
# Installs what the WebAssembly build needs beyond scripts/setup.sh: Debian's
# Emscripten (with its prebuilt system libraries), Node.js and npm (for the
# page's own parts, see src/presentation/web/package.json), the General MIDI
# soundfont the page's music plays with, and Chromium for the page's tests.
set -euo pipefail

packages=(emscripten nodejs timgm6mb-soundfont chromium)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ! command -v node >/dev/null; then missing+=(nodejs); fi
# Debian's Node.js comes without npm; other builds of it bring their own.
if ! command -v npm >/dev/null; then missing+=(npm); fi

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
