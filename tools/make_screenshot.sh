#!/usr/bin/env bash
# Makes docs/demo.png, the README's picture: the player on the demo game at its
# first choice, captured from a real window under Xvfb.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${VORN_IN_XVFB:-}" ]; then
  exec env VORN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
build/vorn --zoom 1 --no-music examples/demo &
pid=$!
trap 'kill $pid 2>/dev/null || true' EXIT
for _ in $(seq 100); do
  win=$(xdotool search --name "^VORN Interpeter$" 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
sleep 0.5
for _ in 1 2 3 4 5; do
  xdotool mousemove --window "$win" 300 370 click 1
  sleep 0.3
done
xdotool mousemove --window "$win" 20 300
sleep 0.3
import -window "$win" docs/demo.png
echo "docs/demo.png written"
