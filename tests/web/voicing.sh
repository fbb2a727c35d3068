#!/usr/bin/env bash
# Self-voicing on the page in headless Chromium, whose speechSynthesis has no
# voices: the test gives the page a stand-in that records each utterance, with
# the voices it is told to offer. build-web/ (scripts/build-web.sh) is served
# with the demo zipped beside it.
# Usage: voicing.sh BUILD_WEB_DIR GAME_DIR
set -euo pipefail
web=$(realpath "$1") game=$(realpath "$2")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/serve_site.sh"
site=$(mktemp -d)
trap 'stop_site; rm -rf "$site"' EXIT
for f in "$web"/*; do [ -f "$f" ] && ln -s "$f" "$site/"; done
mkdir "$site/games"
zip_game "$game" "$site/games/demo.zip"
serve_site "$site"
node "$here/voicing_test.mjs" "http://127.0.0.1:$port/index.html?game=games/demo.zip"
