#!/usr/bin/env bash
# Going back and skipping in a real window under Xvfb: the wheel up, Left and
# Page Up step back and the window shows the earlier page pixel for pixel (the
# mark "back N" in the scene's corner left out); a click on a page in the
# backlog goes back to it; Ctrl held skips the pages read and stops at the
# first unread one and at the menu; the pages read carry over to a second run.
# Each run has a home and data folders of its own.
# Usage: real_window_going_back.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
mkdir -p "$shots"

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

home=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data

win=""
start() {
  "$player" --zoom 1 --no-music "$@" "$game" &
  pid=$!
  win=$(window_id "^VORN Interpeter$" 30) || fail "the window did not appear (vorn $*)"
  sleep 0.8
}
next_page() { xdotool mousemove --window "$win" 300 370 click 1; sleep 0.4; }
key() { xdotool key --window "$win" "$1"; sleep 0.5; }
wheel_up() { xdotool mousemove --window "$win" 300 370 click 4; sleep 0.5; }
hold_ctrl() { xdotool keydown ctrl; sleep "$1"; xdotool keyup ctrl; sleep 0.4; }
# Pixels that differ between two screenshots with the scene's upper-right
# corner, where the mark stands, left out (differing compares them whole).
unmarked() {
  for s in "$1" "$2"; do
    convert "$shots/$s.png" -alpha off -fill magenta -draw "rectangle 440,0 631,60" "$shots/$s.unmarked.png"
  done
  compare -metric AE "$shots/$1.unmarked.png" "$shots/$2.unmarked.png" null: 2>&1 || true
}
same() { [ "$(differing "$1" "$2")" = "0" ] || fail "$3: $(differing "$1" "$2") pixels differ from $1"; }
same_unmarked() { [ "$(unmarked "$1" "$2")" = "0" ] || fail "$3: $(unmarked "$1" "$2") pixels differ from $1"; }

start
shot p1
next_page
shot p2
next_page
shot p3
[ "$(differing p2 p3)" != "0" ] || fail "the third page looks like the second"

wheel_up
shot back1
same_unmarked p2 back1 "the wheel up at the top of the third page"
[ "$(differing p2 back1)" != "0" ] || fail "no mark shows that the reader is back"
key Left
shot back2
same_unmarked p1 back2 "Left from the second page"
key Prior
sleep 2 # its notice, "Nothing to go back to", gone
shot back-none
same back2 back-none "Page Up with nothing to go back to"
next_page
shot replayed
same p2 replayed "reading on after going back (the mark gone)"

# The backlog: a click on its first page goes back there.
next_page
key b
sleep 0.3
shot backlog
xdotool mousemove --window "$win" 80 30 click 1
sleep 0.5
shot from-backlog
same_unmarked p1 from-backlog "a click on the first page in the backlog"

# Pages 1 and 2 were played on from; the third was only shown.
hold_ctrl 1.5
shot skipped
same p3 skipped "Ctrl held from the first page stops at the first page not read"

# On to the menu, back to the start, and Ctrl stops at the menu.
for _ in 1 2 3; do next_page; done
shot menu
for _ in 1 2 3 4 5; do key Left; done
shot back-to-start
same_unmarked p1 back-to-start "five places back"
hold_ctrl 2
shot skipped-to-menu
same menu skipped-to-menu "Ctrl held stops at the menu"

key ctrl+q
window_id "^VORN$" >/dev/null || fail "no credits box"
xdotool key Return
status=0
ended || status=$?
[ "$status" -eq 0 ] || fail "Ctrl+Q ended the player with status $status"
[ -s "$XDG_DATA_HOME/vorn/read/pages.json" ] || fail "no read pages kept in the data folder"

# A second run: the kept place is set aside, and the pages read still are.
rm -rf "$XDG_DATA_HOME/vorn/saves"
start
shot second-start
same p1 second-start "the second run's first page"
hold_ctrl 2
shot second-skipped
same menu second-skipped "the pages read in the first run are skipped in the second"
kill -TERM $pid
ended || true
echo "real window going back: ok (screenshots in $shots)"
