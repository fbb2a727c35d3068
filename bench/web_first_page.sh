#!/usr/bin/env bash
# Fast start in the browser: the demo game's first page on screen in the
# player's page (index.html?game=games/demo.zip) against the floor, a page
# that does only the work no first page can skip (bench/web_floor_page.html:
# the same zip fetched, its first page's three files inflated and decoded by
# the browser, drawn), and against an empty canvas of the scene's size,
# 632 x 425, on a page with nothing else; all timed in headless Chromium from
# navigation start to the frame painted after they are shown, in turns, each
# in a fresh browser context (cold caches). Prints the medians, the ratios,
# PASS or FAIL against the target (at most 1.3 times the floor), and where
# the player's time went in its median sample.
# Usage: bench/web_first_page.sh [BUILD_WEB_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
web=${1:-build-web} runs=${2:-15}
[ -f "$web/vorn-web.wasm" ] && [ -f "$web/index.html" ] || { echo "build the web version first: scripts/build-web.sh" >&2; exit 2; }
[ -d src/presentation/web/node_modules/playwright-core ] || { echo "install the page's npm parts first: npm ci --prefix src/presentation/web" >&2; exit 2; }
[ -x /usr/bin/chromium ] || { echo "install Debian's chromium first: apt-get install chromium" >&2; exit 2; }
web=$(realpath "$web")

# The site: the page's files as build-web/ has them, the demo as a zip of its
# folder (as games are passed around), and the floor and baseline pages beside
# them.
source tests/web/serve_site.sh
site=$(mktemp -d)
trap 'stop_site; rm -rf "$site"' EXIT
for f in "$web"/*; do [ -f "$f" ] && ln -s "$f" "$site/"; done
mkdir "$site/games"
zip_game examples/demo "$site/games/demo.zip"
cp bench/web_floor_page.html "$site/floor.html"
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

# Served as a web server serves a site, not by the tests' Python server
# (bench/static_site.mjs says why).
serve_site "$site" node bench/static_site.mjs

results="$site/results.txt"
site_url="http://127.0.0.1:$port"
node bench/web_first_page.mjs "$site_url/index.html?game=games/demo.zip" "$site_url/floor.html?game=games/demo.zip" \
  "$site_url/baseline.html" "$runs" "$site_url/player-baseline.html" | tee "$results" | grep -v '^{'
python3 - "$runs" "$results" <<'PY'
import json, statistics, sys
with open(sys.argv[2]) as lines:
    result = json.loads([line for line in lines if line.startswith("{")][-1])
m = result["medians"]
e, f, p = m["empty"], m["floor"], m["player"]
print(f"medians of {sys.argv[1]}: empty canvas {e:.0f} ms, floor {f:.0f} ms, the player's first page {p:.0f} ms")
ratio = p / f
print(f"the player against the floor: {ratio:.2f} (target: at most 1.3): {'PASS' if ratio <= 1.3 else 'FAIL'}")
print(f"the player against the empty canvas: {p / e:.2f}; the floor against it: {f / e:.2f}")
# Each turn's pages ran within a second of one another: the median of the
# turns' own ratios is steadier than the ratio of medians on a busy machine.
sa = result["samples"]
turns = statistics.median(pl / fl for pl, fl in zip(sa["player"], sa["floor"]))
print(f"the median of each turn's player against its floor: {turns:.2f}")
if "playerCanvas" in m:
    print(f"the same empty canvas once the compiled player has started: {m['playerCanvas']:.0f} ms")
t = result["timeline"]
print(f"where the player's time went (its median sample, {t['ms']:.0f} ms from navigation start):")
for r in sorted(t["resources"], key=lambda r: r["start"]):
    print(f"  {r['name']:<22} asked for at {r['start']:4.0f} ms, first byte {r['firstByte']:4.0f}, "
          f"last {r['end']:4.0f} ms, {r['bytes']:>7} bytes")
for mark in t["marks"]:
    print(f"  {mark['name']:<22} at {mark['at']:4.0f} ms")
print(f"  DOMContentLoaded at {t['domContentLoaded']:.0f} ms, load at {t['load']:.0f} ms")
PY
