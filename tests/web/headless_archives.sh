#!/usr/bin/env bash
# The Node.js runner plays archives as the desktop player does: the demo
# zipped as games are passed around, and packed as an -lh5- lzh, give the same
# transcript along every path of its story through build-web/vorn-headless as
# through build/vorn. An archive in a format the runner does not read, and a
# damaged one, end its play as a fatal error that says why. Needs both builds.
set -euo pipefail
cd "$(dirname "$0")/../.."
source tests/web/serve_site.sh # zip_game
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
fail() { echo "headless archives: $*" >&2; exit 1; }

zip_game "$PWD/examples/demo" "$scratch/demo.zip"
# Names with '\' between folders, as LHA packers on Windows store them.
mapfile -t members < <(cd examples/demo && find . -type f ! -name README.md | sort |
  sed -e 's|^\./||' -e 's|.*|demo\\&=examples/demo/&|' -e ':a' -e 's|^\([^=]*\)/|\1\\|' -e 'ta')
python3 tests/game_files/fixtures/pack_lzh.py "$scratch/demo.lzh" lh5 1 --block 65535 "${members[@]}"

for archive in "$scratch/demo.zip" "$scratch/demo.lzh"; do
  for events in tests/web/demo_paths/*.events; do
    diff <(build/vorn --headless "$archive" <"$events") \
         <(build-web/vorn-headless --headless "$archive" <"$events") \
      || fail "the WebAssembly build plays $(basename "$archive") along $events otherwise than the desktop player"
  done
done
# Both players play the archive as they play the folder.
diff <(build/vorn --headless examples/demo <tests/web/demo_paths/option1-then1.events) \
     <(build-web/vorn-headless --headless "$scratch/demo.zip" <tests/web/demo_paths/option1-then1.events) \
  || fail "the zipped demo plays otherwise than its folder"

# A game named by its code.vrn is its folder, as on the desktop.
diff <(build/vorn --headless examples/demo/code.vrn <tests/web/demo_paths/option1-then1.events) \
     <(build-web/vorn-headless --headless examples/demo/code.vrn <tests/web/demo_paths/option1-then1.events) \
  || fail "the demo named by its code.vrn plays otherwise than on the desktop"

# refused ARCHIVE WORDS: the runner ends with status 1 and a fatal record saying WORDS.
refused() {
  local out status=0
  out=$(build-web/vorn-headless --headless "$1" </dev/null 2>/dev/null) || status=$?
  [ "$status" -eq 1 ] || fail "$(basename "$1") ends with status $status, not 1"
  grep -qF "{\"fatal\":" <<<"$out" || fail "$(basename "$1") ends without a fatal record: $out"
  grep -qF "$2" <<<"$out" || fail "$(basename "$1") is refused in other words: $out"
}
tar -cf "$scratch/demo.tar" -C examples demo
refused "$scratch/demo.tar" 'nor an archive this build of the player reads (a .zip, .lzh or .lha)'
head -c 5000 "$scratch/demo.zip" >"$scratch/cut.zip"
refused "$scratch/cut.zip" "cannot play \\\"$scratch/cut.zip\\\": the archive is damaged or truncated: its directory of entries is missing"
head -c 5000 "$scratch/demo.lzh" >"$scratch/cut.lzh"
refused "$scratch/cut.lzh" 'the archive is damaged or truncated: it ends early'
echo "headless archives: played as the desktop player plays them"
