#!/usr/bin/env bash
# A real window under Xvfb: the player starts on the demo game, a click on the
# text box turns the page, and SIGTERM ends it in order with status 0.
# Usage: real_window_smoke.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
mkdir -p "$shots"

if [ -z "${VORN_IN_XVFB:-}" ]; then
  exec env VORN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

# The place kept when SIGTERM ends the game goes to a folder of the test's own.
data=$(mktemp -d)
XDG_DATA_HOME="$data" "$player" --zoom 1 --no-music "$game" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true; rm -rf "$data"' EXIT

win=""
for _ in $(seq 100); do
  win=$(xdotool search --name "^VORN Interpeter$" 2>/dev/null | head -n 1 || true)
  [ -n "$win" ] && break
  sleep 0.1
done
[ -n "$win" ] || { echo "the window did not appear"; exit 1; }
sleep 0.5

geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "632x425" ] || { echo "window is $geometry, not 632x425"; exit 1; }

import -window "$win" "$shots/first-page.png"
xdotool mousemove --window "$win" 300 370 click 1
sleep 0.5
import -window "$win" "$shots/second-page.png"

# The text box must show something, and the click must have changed it.
lit=$(convert "$shots/first-page.png" -crop 512x65+64+340 -threshold 50% -format '%[fx:mean]' info:)
awk -v m="$lit" 'BEGIN { exit !(m > 0.001) }' || { echo "the text box is empty"; exit 1; }
changed=$(compare -metric AE -extract 512x65+64+340 "$shots/first-page.png" "$shots/second-page.png" null: 2>&1 || true)
[ "${changed%% *}" != "0" ] || { echo "the click on the text box changed nothing"; exit 1; }

kill -TERM $pid
status=0
wait $pid || status=$?
trap - EXIT
[ "$status" -eq 0 ] || { echo "SIGTERM ended the player with status $status"; exit 1; }
echo "real window: ok (screenshots in $shots)"
