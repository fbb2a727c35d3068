#!/usr/bin/env bash
# The browser page in headless Chromium (Debian's), driven by playwright-core:
# the demo opens from a URL parameter, going back and skipping work as in the
# window, every demo path plays as the desktop
# player plays it, and at the first menu the pictures on the page's canvas are
# those of the desktop window at zoom 1, pixel for pixel, outside the text box
# and the captions (whose words each draws with its own text engine); axe-core
# and Chromium's accessibility tree find the page readable without sight.
# Usage: page.sh BUILD_DIR BUILD_WEB_DIR GAME_DIR SHOTS_DIR
set -euo pipefail
build=$(realpath "$1") web=$(realpath "$2") game=$(realpath "$3") shots=$4
mkdir -p "$shots"
shots=$(realpath "$shots")
here=$(cd "$(dirname "$0")" && pwd)
source "$here/../presentation/xvfb_window.sh"
source "$here/serve_site.sh"
run_in_xvfb "$@"

# The site: the page's files, and the demo as a collectors' site would offer it.
site=$(mktemp -d)
trap 'stop_site; rm -rf "$site"' EXIT
for f in "$web"/*; do [ -f "$f" ] && ln -s "$f" "$site/"; done
mkdir "$site/games"
zip_game "$game" "$site/games/demo.zip"
# Small games of the demo's fixed pictures and a script of their own:
# small_game NAME SCRIPT, then the files in $small, zipped by zip_small.
small_game() {
  small=$(mktemp -d)/$1
  mkdir "$small"
  cp "$game"/back.bmp "$game"/mouse.ico "$game"/text.bmp "$small"/
  printf '%s' "$2" > "$small/code.vrn"
}
zip_small() {
  zip_game "$small" "$site/games/$(basename "$small").zip"
  rm -rf "$(dirname "$small")"
}
# A game whose pages show a picture in each format the browser decodes.
small_game formats '<red.png>"png"<green.gif>"gif"<blue.jpg>"jpg"<white.bmp>"bmp"<yellow.ico>"ico"'
convert -size 40x30 xc:'#ff0000' "$small/red.png"
convert -size 40x30 xc:'#00ff00' "$small/green.gif"
convert -size 40x30 xc:'#0000ff' -quality 95 "$small/blue.jpg"
convert -size 40x30 xc:'#ffffff' "BMP3:$small/white.bmp"
convert -size 32x32 xc:'#ffff00' "$small/yellow.ico"
zip_small
# A game whose second page shows a picture that is not there.
small_game broken '"first"<missing.bmp>"second"'
zip_small
serve_site "$site"

node "$here/saves_test.mjs" "http://127.0.0.1:$port/index.html?game=games/demo.zip" "$shots"
node "$here/gamepad_test.mjs" "http://127.0.0.1:$port/index.html?game=games/demo.zip"
node "$here/reader_settings_test.mjs" "http://127.0.0.1:$port/index.html?game=games/demo.zip" "$shots"
node "$here/going_back_test.mjs" "http://127.0.0.1:$port/index.html?game=games/demo.zip" "$shots"
node "$here/page_test.mjs" "http://127.0.0.1:$port/index.html?game=games/demo.zip" "$build/vorn" "$game" "$shots" \
  "$here"/demo_paths/*.events
# The page as a screen reader and the keyboard alone meet it.
node "$here/a11y_test.mjs" "http://127.0.0.1:$port/index.html?game=games/demo.zip" "$shots"

# The desktop window at the same moment: the first menu, five clicks in.
"$build/vorn" --zoom 1 --no-music "$game" &
desktop=$!
win=$(window_id --onlyvisible "^VORN Interpeter$") || { kill -9 $desktop; fail "the desktop window did not appear"; }
sleep 0.5
for _ in 1 2 3 4 5; do xdotool mousemove --window "$win" 300 370 click 1; sleep 0.3; done
sleep 0.5
import -window "$win" "$shots/desktop-menu.png"
kill -9 $desktop; wait $desktop 2>/dev/null || true

# The text box and the captions are masked in both; the rest must match.
mask=(-fill black -draw "rectangle 64,340 575,404" -draw "rectangle 495,35 623,108")
convert "$shots/desktop-menu.png" -alpha off "${mask[@]}" "$shots/desktop-menu-masked.png"
convert "$shots/page-menu-pictures.png" -alpha off "${mask[@]}" "$shots/page-menu-masked.png"
differ=$(compare -metric AE "$shots/desktop-menu-masked.png" "$shots/page-menu-masked.png" null: 2>&1 || true)
[ "$differ" = "0" ] || { echo "FAIL: the page's pictures differ from the desktop window's in $differ pixels" >&2; exit 1; }
echo "page: the scene's pictures match the desktop window's pixel for pixel"
