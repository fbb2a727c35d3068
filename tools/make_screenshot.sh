#!/usr/bin/env bash
# Makes docs/demo.png, the README's picture: the player on the demo game at its
# first choice, captured from a real window under Xvfb, with the pointer over
# the second option (so it shows underlined) and, below the window, a strip
# that names the key of each option.
set -euo pipefail
cd "$(dirname "$0")/.."
if [ -z "${VORN_IN_XVFB:-}" ]; then
  exec env VORN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi
build/vorn --zoom 1 --no-music examples/demo &
pid=$!
shot=$(mktemp --suffix .png)
trap 'kill $pid 2>/dev/null || true; rm -f "$shot"' EXIT
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
xdotool mousemove --window "$win" 510 58 # over the second option's text
sleep 0.3
import -window "$win" "$shot"
font=/usr/share/fonts/opentype/ipafont-gothic/ipag.ttf # fonts-ipafont-gothic
convert "$shot" \( -size 632x30 xc:'#141a2e' -font "$font" -pointsize 14 -fill white -gravity center \
  -annotate +0+0 'Keys:   1 = 鈴 Ring bell    2 = 賽銭 Offer coin    3 = 休む Just rest' \) -append docs/demo.png
echo "docs/demo.png written"
