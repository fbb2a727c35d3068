#!/usr/bin/env bash
# The page's reading of game folders and archives, under Node.js's own test
# runner: build-web/game-files.js with its zip and lzh readers and fflate,
# and the whole way into the compiled player, build-web/vorn-web.js. Needs the
# WebAssembly build.
set -euo pipefail
cd "$(dirname "$0")/../.."
build="$PWD/build-web"
# The page's modules are ES modules named .js, as browsers take them; Node.js
# reads them as such in a folder that says so.
modules=$(mktemp -d)
trap 'rm -rf "$modules"' EXIT
cp "$build"/{game-files,archive-checks,zip-reader,lzh-reader,page-words,fflate}.js "$modules/"
echo '{"type":"module"}' >"$modules/package.json"
VORN_WEB_MODULES="$modules" VORN_WEB_BUILD="$build" node --test tests/web/game_files.test.mjs

# The desktop player unpacks the packer's -lh5- archives as the page does:
# spaces before the first byte come from the window, level 2 header checks.
if [ -x build/vorn ]; then
  python3 - "$modules/game.lzh" <<'PY'
import sys
sys.path.insert(0, "tests/game_files/fixtures")
import make_lzh, pack_lzh
members = list(make_lzh.MEMBERS)
members[0] = ("ゲーム\\code.vrn", b'"   ' + "ソ".encode("cp932") + b' lh5"')
with open(sys.argv[1], "wb") as out:
    out.write(pack_lzh.pack(members, "lh5", 2, 50))
PY
  transcript=$(build/vorn --headless "$modules/game.lzh" </dev/null)
  grep -qF '{"text":"   ソ lh5"}' <<<"$transcript" || { echo "the desktop player does not unpack pack_lzh.py's -lh5- archive as packed" >&2; exit 1; }
fi
