#!/usr/bin/env bash
# What a visitor downloads to play: the compressed size of every file the
# browser page is served with (the compiled player, the page's own code, its
# libraries and pictures), without the soundfont, which is fetched on its own
# when the music starts, and without the Node.js player and the files of the
# tests and benchmarks. Each file gzip -9 and, when Debian's brotli is
# installed, brotli at its best; PASS or FAIL against the target.
# Usage: bench/web_size.sh [BUILD_WEB_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
web=${1:-build-web}
[ -f "$web/vorn-web.wasm" ] && [ -f "$web/index.html" ] || { echo "build the web version first: scripts/build-web.sh" >&2; exit 2; }
target=$((1536 * 1024)) # 1.5 MB

# The page's files are those beside index.html and the scripts, wasm and
# style sheets in the folders beside it; the Node.js player (with its copy of
# the page's archive readers), the build's own files, source maps (fetched
# only by a browser's developer tools) and the files of tests and benchmarks
# are not served to the page, nor are the page's modules that its bundles
# hold (kept beside them for the tests, and in page-modules/ for bundling),
# which the build lists in page-modules/bundled.txt, as the service worker
# leaves them out of what it keeps.
[ -f "$web/page-modules/bundled.txt" ] || { echo "build the web version again: $web/page-modules/bundled.txt is missing" >&2; exit 2; }
mapfile -t bundled <"$web/page-modules/bundled.txt"
served() {
  local name
  name=$(basename "$1")
  for b in "${bundled[@]}"; do [ "$name" = "$b" ] && return 1; done
  case "$name" in
    vorn-headless | vorn-headless.js | vorn-headless.wasm) return 1 ;;
    *.sf2 | *.sf3 | *.dls) return 1 ;; # the soundfont
    build.ninja | .ninja_* | *.cmake | CMakeCache.txt | *.map) return 1 ;;
    *test* | *bench* | baseline.html) return 1 ;;
  esac
}
files=()
while IFS= read -r -d '' f; do served "$f" && files+=("$f"); done < <(find "$web" -maxdepth 1 -type f -print0 | sort -z)
while IFS= read -r -d '' f; do served "$f" && files+=("$f"); done < <(find "$web" -mindepth 1 \
  \( -path "$web/CMakeFiles" -o -path "$web/src" -o -path "$web/vorn-headless-readers" -o -path "$web/page-modules" \
     -o -name '*test*' \
     -o -name '*bench*' \) -prune -o \
  -path "$web/*/*" -type f \( -name '*.js' -o -name '*.mjs' -o -name '*.wasm' -o -name '*.css' \) -print0 | sort -z)

brotli=$(command -v brotli || true)
printf '%-44s %10s %10s %10s\n' file bytes gzip-9 "${brotli:+brotli}"
total=0 total_gzip=0 total_brotli=0
for f in "${files[@]}"; do
  size=$(stat -c %s "$f")
  gz=$(gzip -9 -c "$f" | wc -c)
  br=""
  if [ -n "$brotli" ]; then br=$(brotli -q 11 -c "$f" | wc -c); total_brotli=$((total_brotli + br)); fi
  total=$((total + size)) total_gzip=$((total_gzip + gz))
  printf '%-44s %10d %10d %10s\n' "${f#"$web"/}" "$size" "$gz" "$br"
done
printf '%-44s %10d %10d %10s\n' total "$total" "$total_gzip" "${brotli:+$total_brotli}"
[ -n "$brotli" ] || echo "(brotli is not installed: apt-get install brotli to see its sizes too)"
awk -v g="$total_gzip" -v t="$target" 'BEGIN {
  printf "compressed with gzip -9: %.2f MB (target: at most 1.5 MB): %s\n", g / 1048576, (g <= t ? "PASS" : "FAIL") }'
