#!/usr/bin/env bash
# Installs what the WebAssembly build needs beyond scripts/setup.sh: Debian's
# Emscripten (with its prebuilt system libraries) and Node.js.
set -euo pipefail

packages=(emscripten nodejs)

sudo=""
if [ "$(id -u)" -ne 0 ]; then sudo="sudo"; fi

missing=()
for p in "${packages[@]}"; do
  dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "ok installed" || missing+=("$p")
done
if ! command -v node >/dev/null; then missing+=(nodejs); fi

if [ "${#missing[@]}" -gt 0 ]; then
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -q
  $sudo apt-get install -y -q --no-install-recommends "${missing[@]}"
fi
