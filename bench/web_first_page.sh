#!/usr/bin/env bash
# Fast start in the browser: the demo game's first page on screen in the
# player's page (index.html?game=games/demo.zip) against an empty canvas of
# the scene's size, 632 x 425, on a page with nothing else, both timed in
# headless Chromium from navigation start to the frame painted after they are
# shown, in turns, each in a fresh browser context (cold caches). Prints the
# medians, their ratio, PASS or FAIL against the target, and where the page's
# time went in its median sample.
# Usage: bench/web_first_page.sh [BUILD_WEB_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
web=${1:-build-web} runs=${2:-15}
[ -f "$web/vorn-web.wasm" ] && [ -f "$web/index.html" ] || { echo "build the web version first: scripts/build-web.sh" >&2; exit 2; }
[ -d src/presentation/web/node_modules/playwright-core ] || { echo "install the page's npm parts first: npm ci --prefix src/presentation/web" >&2; exit 2; }
[ -x /usr/bin/chromium ] || { echo "install Debian's chromium first: apt-get install chromium" >&2; exit 2; }
web=$(realpath "$web")

# The site: the page's files as build-web/ has them, the demo as a zip of its
# folder (as games are passed around), and the baseline page beside them.
source tests/web/serve_site.sh
site=$(mktemp -d)
trap 'stop_site; rm -rf "$site"' EXIT
for f in "$web"/*; do [ -f "$f" ] && ln -s "$f" "$site/"; done
mkdir "$site/games"
zip_game examples/demo "$site/games/demo.zip"
# Both baselines end the same way: an empty canvas of the scene's size, shown.
# (Written into each page, so that the bare one stays a single file.)
show_empty_canvas="function showEmptyCanvas(canvas) {
  const g = canvas.getContext('2d');
  g.fillStyle = '#efefef';
  g.fillRect(0, 0, 632, 425);
  window.vornPage = { whenIdle: () => Promise.resolve() };
  document.body.dataset.ready = 'true';
}"
cat >"$site/baseline.html" <<HTML
<!doctype html>
<html lang="en">
<head><meta charset="utf-8"><title>Empty canvas</title><script>$show_empty_canvas</script></head>
<body style="margin: 0; background: #000">
<canvas width="632" height="425"></canvas>
<script>showEmptyCanvas(document.querySelector('canvas'));</script>
</body>
</html>
HTML

# The same empty canvas once the player's own files are in and the compiled
# player has started, as the page has them before it opens a game: what the
# game itself adds is the rest.
cat >"$site/player-baseline.html" <<HTML
<!doctype html>
<html lang="en">
<head><meta charset="utf-8"><title>VORN Interpeter</title>
<link rel="stylesheet" href="page.css">
<link rel="preload" href="vorn-web.wasm" as="fetch" crossorigin>
<script>$show_empty_canvas</script>
<script src="vorn-web.js" defer></script>
</head>
<body>
<main id="player"><div id="scene"><canvas id="pictures" width="632" height="425"></canvas></div></main>
<script type="module">
await createVornModule();
showEmptyCanvas(document.getElementById('pictures'));
</script>
</body>
</html>
HTML

serve_site "$site"

results="$site/results.txt"
node bench/web_first_page.mjs "http://127.0.0.1:$port/index.html?game=games/demo.zip" \
  "http://127.0.0.1:$port/baseline.html" "$runs" "http://127.0.0.1:$port/player-baseline.html" | tee "$results" | grep -v '^{'
python3 - "$runs" "$results" <<'PY'
import json, statistics, sys
with open(sys.argv[2]) as lines:
    result = json.loads([line for line in lines if line.startswith("{")][-1])
b, g = statistics.median(result["baseline"]), statistics.median(result["game"])
runs = sys.argv[1]
print(f"empty canvas {b:.0f} ms, demo's first page {g:.0f} ms (medians of {runs})")
ratio = g / b
print(f"ratio {ratio:.2f} (target: at most 1.5): {'PASS' if ratio <= 1.5 else 'FAIL'}")
if result["player"]:
    p = statistics.median(result["player"])
    print(f"the same empty canvas once the compiled player has started: {p:.0f} ms; "
          f"the demo's first page takes {g / p:.2f} times as long")
m = result["median"]
print(f"where the first page's time went (its median sample, {m['ms']:.0f} ms from navigation start):")
for r in sorted(m["resources"], key=lambda r: r["start"]):
    print(f"  {r['name']:<22} asked for at {r['start']:4.0f} ms, first byte {r['firstByte']:4.0f}, "
          f"last {r['end']:4.0f} ms, {r['bytes']:>7} bytes")
for mark in m["marks"]:
    print(f"  {mark['name']:<22} at {mark['at']:4.0f} ms")
print(f"  DOMContentLoaded at {m['domContentLoaded']:.0f} ms, load at {m['load']:.0f} ms")
PY
