#!/usr/bin/env bash
# The page on an upright phone and offline, in headless Chromium: a site of
# the page's files (the service worker a copy, which the test replaces with
# a new version), the demo and a second game, and a games/index.json listing
# them; the test stops the site's server itself to go offline.
# Usage: phone_offline.sh BUILD_WEB_DIR GAME_DIR SHOTS_DIR
set -euo pipefail
web=$(realpath "$1") game=$(realpath "$2") shots=$3
mkdir -p "$shots"
shots=$(realpath "$shots")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/serve_site.sh"

site=$(mktemp -d)
trap 'stop_site; rm -rf "$site"' EXIT
for f in "$web"/*; do [ -f "$f" ] && ln -s "$f" "$site/"; done
rm "$site/service-worker.js" && cp "$web/service-worker.js" "$site/"
mkdir "$site/games"
zip_game "$game" "$site/games/demo.zip"
convert "$game/back.bmp" -resize 96x64 "$site/games/demo.zip.png"
cat >"$site/games/index.json" <<'JSON'
{ "games": [
  { "title": "VORN demo", "archive": "demo.zip", "picture": "demo.zip.png" },
  { "title": "Formats", "archive": "formats.zip" }
] }
JSON
serve_site "$site"
node "$here/phone_offline_test.mjs" "http://127.0.0.1:$port" "$site" "$server" "$shots"
