#!/usr/bin/env bash
# Builds the WebAssembly version and holds it to the desktop player: every
# transcript test plays its game through build-web/vorn-headless as well as
# through the desktop player's headless driver, and the two transcripts must
# be the same byte for byte. Needs the native build in build/.
set -euo pipefail
cd "$(dirname "$0")/.."
bash scripts/setup-web.sh
bash scripts/build-web.sh

# The transcript tests (the ctest label `transcripts`, given to the suites
# that play games headless), each game played by both players. Saved games
# are kept only by the desktop player, so its save tests are not among them.
VORN_HEADLESS_PLAYER="$PWD/build-web/vorn-headless" QT_QPA_PLATFORM=offscreen \
  ctest --test-dir build -L transcripts --output-on-failure --timeout 300

# The demo, along every path of its story, through both players.
for events in tests/web/demo_paths/*.events; do
  diff <(build/vorn --headless examples/demo <"$events") \
       <(build-web/vorn-headless --headless examples/demo <"$events") \
    || { echo "the WebAssembly build plays $events otherwise than the desktop player" >&2; exit 1; }
done
echo "web transcripts: the same as the desktop player's"

# The demo zipped and packed as an lzh, through both players; archives the
# runner cannot play, refused.
bash tests/web/headless_archives.sh

# The page's reading of game folders, zip and lzh archives, into the player.
bash tests/web/game_files.sh

# The page's keys: the player's key table, read from the compiled player.
bash tests/web/keys.sh

# The page in headless Chromium, beside the desktop window, and as a screen
# reader and the keyboard alone meet it.
bash tests/web/page.sh build build-web examples/demo build-web/test-shots

# The page's fitting of the scene to any screen, and its reading of a site's
# list of games.
bash tests/web/screen_shelf.sh

# The page on an upright phone, by touch; kept by its service worker, updated
# at the next visit, and played offline.
bash tests/web/phone_offline.sh build-web examples/demo build-web/test-shots
# Self-voicing on the page, through a recording stand-in for speechSynthesis.
bash tests/web/voicing.sh build-web examples/demo

# The page's music in headless Chromium: the AudioWorklet's sound, its ends
# and loops.
bash tests/web/music.sh
