#!/usr/bin/env bash
# Saves in a real window under Xvfb: F5 keeps the scene and F9 brings it back
# pixel for pixel after playing on; the Save… dialog with three slots; Ctrl+Q
# keeps the place, and --continue goes straight back to it.
# Usage: real_window_saves.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
mkdir -p "$shots"

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

saves=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; rm -rf "$saves"' EXIT

win=""
start() {
  "$player" --zoom 1 --no-music --save-dir "$saves" "$@" "$game" &
  pid=$!
  win=$(window_id "^VORN Interpeter$" 30) || fail "the window did not appear (vorn $*)"
  sleep 0.8
}
next_page() { xdotool mousemove --window "$win" 300 370 click 1; sleep 0.4; }
key() { xdotool key "$1"; sleep 0.5; }
# Keys reach the window that has the focus when they are sent: a dialog must
# be up before they are.
wait_window() { window_id "$1" >/dev/null || fail "no window \"$1\" appeared"; }

start
next_page
next_page
key F5
sleep 1.5 # the notice "Saved" goes again
shot saved
[ -f "$saves/quick.json" ] || fail "F5 wrote no quick save"

next_page
next_page
next_page # the menu
key 1
next_page # night falls
shot played
scene=$(compare -metric AE -extract 482x297+79+27 "$shots/saved.png" "$shots/played.png" null: 2>&1 || true)
[ "${scene%% *}" != "0" ] || fail "playing on did not change the scene"

key F9
sleep 1.5
shot loaded
[ "$(differing saved loaded)" = "0" ] || fail "the loaded scene differs from the saved one in $(differing saved loaded) pixels"

# Two more slots through the Save… dialog: its first row is a new save.
next_page
key ctrl+s
wait_window "^Save"
key Return
next_page
key ctrl+s
wait_window "^Save"
key Return
for slot in quick slot-1 slot-2; do [ -f "$saves/$slot.json" ] || fail "no slot $slot"; done
key ctrl+s
wait_window "^Save"
sleep 0.5
import -window root "$shots/save-dialog.png"
key Escape

shot before-close
key ctrl+q
wait_window "^VORN$"
key Return # the credits
status=0
ended || status=$?
[ "$status" -eq 0 ] || fail "Ctrl+Q ended the player with status $status"
[ -f "$saves/continue.json" ] || fail "closing mid-game kept no place"

start --continue
shot continued
[ "$(differing before-close continued)" = "0" ] ||
  fail "--continue shows a scene that differs from the one closed in $(differing before-close continued) pixels"
kill -TERM $pid
status=0
ended || status=$?
[ "$status" -eq 0 ] || fail "SIGTERM ended the player with status $status"
echo "real window saves: ok (screenshots in $shots)"
