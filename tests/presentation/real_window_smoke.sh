#!/usr/bin/env bash
# A real window under Xvfb: the player starts on the demo game, a click on the
# text box turns the page, and SIGTERM ends it in order with status 0.
# Usage: real_window_smoke.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
mkdir -p "$shots"

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

# The place kept when SIGTERM ends the game goes to a folder of the test's own.
data=$(mktemp -d)
XDG_DATA_HOME="$data" "$player" --zoom 1 --no-music "$game" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true; rm -rf "$data"' EXIT

win=$(window_id "^VORN Interpeter$") || fail "the window did not appear"
sleep 0.5

geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "632x425" ] || fail "window is $geometry, not 632x425"

import -window "$win" "$shots/first-page.png"
xdotool mousemove --window "$win" 300 370 click 1
sleep 0.5
import -window "$win" "$shots/second-page.png"

# The text box must show something, and the click must have changed it.
lit=$(convert "$shots/first-page.png" -crop 512x65+64+340 -threshold 50% -format '%[fx:mean]' info:)
awk -v m="$lit" 'BEGIN { exit !(m > 0.001) }' || fail "the text box is empty"
changed=$(compare -metric AE -extract 512x65+64+340 "$shots/first-page.png" "$shots/second-page.png" null: 2>&1 || true)
[ "${changed%% *}" != "0" ] || fail "the click on the text box changed nothing"

kill -TERM $pid
status=0
wait $pid || status=$?
trap - EXIT
[ "$status" -eq 0 ] || fail "SIGTERM ended the player with status $status"
echo "real window: ok (screenshots in $shots)"
