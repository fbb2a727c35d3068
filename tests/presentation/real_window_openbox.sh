#!/usr/bin/env bash
# The window under a window manager (Openbox) in Xvfb: at zoom 2, F11 twice
# brings it back where it stood, its title bar on the screen; the question
# whether to go on from the place kept at the last close shows in the middle
# of the window, over the game's own scene.
# Usage: real_window_openbox.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
mkdir -p "$shots"

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

home=$(mktemp -d)
saves=$(mktemp -d)
# The games it plays go on a list of the test's own, not the user's.
export XDG_CONFIG_HOME=${XDG_CONFIG_HOME:-$home/player-config}
pid="" wm=""
# Openbox is waited for: what it writes as it ends must not land in a folder
# being removed.
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; [ -n "$wm" ] && { kill $wm 2>/dev/null; wait $wm 2>/dev/null; }; rm -rf "$home" "$saves" || true' EXIT

# Openbox with its default settings, not the user's.
HOME="$home" XDG_CONFIG_HOME="$home/.config" openbox >/dev/null 2>&1 &
wm=$!
for _ in $(seq 100); do
  xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q 'window id' && break
  sleep 0.1
done
xprop -root _NET_SUPPORTING_WM_CHECK | grep -q 'window id' || fail "openbox did not start"

# x y width height of a window's own area (without the frame), on the screen.
where() {
  xwininfo -id "$1" | awk '/Absolute upper-left X/ {x=$4} /Absolute upper-left Y/ {y=$4}
                           /Width:/ {w=$2} /Height:/ {h=$2} END {print x, y, w, h}'
}
# The same for its frame, from the borders the window manager says it added.
framed() {
  local l r t b
  read -r l r t b <<<"$(xprop -id "$1" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
  read -r x y w h <<<"$(where "$1")"
  echo $((x - l)) $((y - t)) $((w + l + r)) $((h + t + b))
}
# Waits until the window's width is $2; fails after 10 s.
wait_width() {
  for _ in $(seq 100); do
    read -r _ _ w _ <<<"$(where "$1")"
    [ "$w" = "$2" ] && return 0
    sleep 0.1
  done
  fail "the window is $(where "$1"), not $2 wide"
}

"$player" --zoom 2 --no-music --save-dir "$saves" "$game" &
pid=$!
win=$(window_id --onlyvisible "^VORN Interpeter$" 30) || fail "the window did not appear"
wait_width "$win" 1264
xdotool windowmove "$win" 6 40
sleep 0.8
read -r x y w h <<<"$(where "$win")"
[ "$y" -gt 0 ] || fail "the window's title bar is off the screen before full screen: $x $y"
import -window root "$shots/openbox-placed.png"

xdotool key --window "$win" F11
wait_width "$win" 1280
import -window root "$shots/openbox-full-screen.png"
xdotool key --window "$win" F11
wait_width "$win" 1264
sleep 0.8
import -window root "$shots/openbox-back.png"
[ "$(where "$win")" = "$x $y $w $h" ] ||
  fail "left full screen at $(where "$win"), not where it stood ($x $y $w $h)"

# A page read, then closed mid-game: the place is kept.
xdotool mousemove --window "$win" 600 740 click 1
sleep 0.5
xdotool key --window "$win" ctrl+q
window_id --onlyvisible "^VORN$" >/dev/null || fail "no credits"
sleep 0.3
xdotool key Return
status=0
ended || status=$?
[ "$status" -eq 0 ] || fail "Ctrl+Q ended the player with status $status"
[ -f "$saves/continue.json" ] || fail "closing mid-game kept no place"

# The next opening asks, in the middle of the window.
"$player" --zoom 2 --no-music --save-dir "$saves" "$game" &
pid=$!
win=$(window_id --onlyvisible "^VORN Interpeter$" 30) || fail "the window did not appear again"
box=$(window_id --onlyvisible "^VORN$" 30) || fail "no question whether to go on"
sleep 1.5 # placed, and centred again once the window is
import -window root "$shots/openbox-question.png"
# The question's frame, title bar and all, is centred over the scene, which
# fills the window's own area; Qt learns the size of the window manager's
# frames only late, so it may stand off by a title bar's height.
read -r x y w h <<<"$(where "$win")"
read -r bx by bw bh <<<"$(framed "$box")"
read -r _ _ title _ <<<"$(xprop -id "$box" _NET_FRAME_EXTENTS | sed 's/.*= //; s/,//g')"
dx=$(((bx + bw / 2) - (x + w / 2))) dy=$(((by + bh / 2) - (y + h / 2)))
[ "${dx#-}" -le 4 ] && [ "${dy#-}" -le $((title + 4)) ] ||
  fail "the question sits ${dx},${dy} pixels off the scene's middle (scene $x $y $w $h, question $bx $by $bw $bh)"
# At zoom 1 the question is about 100 pixels high; its text grows with the zoom.
[ "$bh" -gt 180 ] || fail "the question is $bw x $bh: its text is not zoomed"
# Go on; the box is gone before the key is released.
xdotool key --window "$box" Return 2>/dev/null || true
sleep 0.5
kill -TERM $pid
status=0
ended || status=$?
[ "$status" -eq 0 ] || fail "SIGTERM ended the player with status $status"
echo "real window under openbox: ok (screenshots in $shots)"
