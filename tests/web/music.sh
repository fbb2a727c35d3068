#!/usr/bin/env bash
# The page's music in headless Chromium: build-web/ (built by
# scripts/build-web.sh) served on a free localhost port, with the test page
# and the demo's music beside it; then three seconds of what the AudioWorklet
# made, checked with sox (VORN_MUSIC_WAV=FILE keeps it, for a listen).
set -euo pipefail
cd "$(dirname "$0")/../.."
for f in music.js music-worklet.js libfluidsynth-2.4.6.js js-synthesizer.worklet.min.js soundfont.sf2; do
  [ -f "build-web/$f" ] || { echo "build-web/$f is missing: run scripts/build-web.sh" >&2; exit 1; }
done
command -v sox >/dev/null || { echo "sox is missing: run scripts/setup-web.sh" >&2; exit 1; }

source tests/web/serve_site.sh
site=$(mktemp -d)
trap 'stop_site; rm -rf "$site"' EXIT
ln -s "$PWD/build-web" "$site/page"
mkdir "$site/test"
cp tests/web/music_page.html examples/demo/theme.mid "$site/test/"

serve_site "$site"

node tests/web/music_test.mjs "http://127.0.0.1:$port" "$site/music.wav"

# Not silence: sox's RMS amplitude of the recording, 0 to 1.
stats=$(sox "$site/music.wav" -n stat 2>&1)
rms=$(awk '/RMS +amplitude/ {print $3}' <<<"$stats")
peak=$(awk '/Maximum amplitude/ {print $3}' <<<"$stats")
echo "music: the recorded demo's music, sox: peak $peak, RMS $rms"
if [ -n "${VORN_MUSIC_WAV:-}" ]; then cp "$site/music.wav" "$VORN_MUSIC_WAV"; fi
awk -v rms="$rms" 'BEGIN { exit !(rms > 0.005) }' || { echo "the recorded music is silence" >&2; exit 1; }
