#!/usr/bin/env bash
# The start screen in a real window under Xvfb: opened with no game named, it
# lists two games played before with their pictures; one is played from the
# keyboard and left by Ctrl+Q, which comes back to the list; another is
# dragged from a second program and dropped on the window; SIGTERM ends it.
# Usage: start_screen_window.sh PLAYER DRAG_SOURCE GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$(realpath "$1") dragSource=$(realpath "$2") demo=$(realpath "$3") shots=${4:-$(mktemp -d)}
mkdir -p "$shots"

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

work=$(mktemp -d)
pids=()
cleanup() {
  for p in "${pids[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  rm -rf "$work"
}
trap cleanup EXIT

mkdir -p "$work/config/vorn" "$work/empty" "$work/games"
# Three games: a script is a game, so each copy's script ends with line ends of its own.
ends=""
for name in "Forest Road" "Sea Road" "Dropped Road"; do
  cp -r "$demo" "$work/games/$name"
  ends+=$'\r\n'
  printf '%s' "$ends" >>"$work/games/$name/code.vrn"
done
cat >"$work/config/vorn/games.json" <<JSON
{"games": [{"path": "$work/games/Forest Road", "lastPlayed": "2026-01-01T10:00:00.000Z"},
           {"path": "$work/games/Sea Road", "lastPlayed": "2026-02-01T10:00:00.000Z"}]}
JSON
firstListed() { python3 -c 'import json,sys; print(json.load(open(sys.argv[1]))["games"][0]["path"])' "$work/config/vorn/games.json"; }
mean() { convert "$1" -crop "$2" -colorspace gray -format '%[fx:mean]' info:; }
textBoxLit() {
  awk -v m="$(convert "$1" -crop 512x65+64+340 -threshold 50% -format '%[fx:mean]' info:)" 'BEGIN { exit !(m > 0.001) }'
}
onStartScreen() { # the bare list below the rows is white; a game's scene is not
  awk -v m="$(mean "$1" 300x100+150+220)" 'BEGIN { exit !(m > 0.9) }'
}
focusAndKey() { xdotool windowfocus --sync "$1" 2>/dev/null || xdotool windowfocus "$1"; sleep 0.2; xdotool key "${@:2}"; }
# Retries a check for up to ten seconds: a loaded machine may be slow to paint.
eventually() {
  for _ in $(seq 50); do "$@" && return 0; sleep 0.2; done
  return 1
}
playing() { # shot: a game's first page is on screen
  import -window "$win" "$shots/$1.png"
  ! onStartScreen "$shots/$1.png" && textBoxLit "$shots/$1.png"
}
startScreenShown() { import -window "$win" "$shots/$1.png"; onStartScreen "$shots/$1.png"; }
waitFor() { window_id --onlyvisible "$1" || fail "no window \"$1\" appeared"; } # a window title; prints its id

(cd "$work/empty" && exec env XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$player" --zoom 1 --no-music) &
pid=$!; pids+=("$pid")
win=$(waitFor "^VORN Interpeter$")
sleep 1
geometry=$(xdotool getwindowgeometry "$win" | sed -n 's/.*Geometry: //p')
[ "$geometry" = "632x425" ] || fail "the start screen is $geometry, not 632x425"

# Two rows, each with the dark picture of its background; below them the bare list.
twoRowsWithPictures() {
  import -window "$win" "$shots/start-screen.png"
  for row in 0 1; do
    awk -v m="$(mean "$shots/start-screen.png" "80x48+20+$((50 + row * 66))")" 'BEGIN { exit !(m < 0.4) }' || return 1
  done
  awk -v m="$(mean "$shots/start-screen.png" "80x40+20+200")" 'BEGIN { exit !(m > 0.9) }'
}
eventually twoRowsWithPictures || fail "the start screen does not show two games with their pictures"

# The keyboard: the second row (the older game), Enter.
focusAndKey "$win" Down Return
eventually playing played-by-keyboard || fail "Enter on the list did not play the game"
[ "$(firstListed)" = "$work/games/Forest Road" ] || fail "the game played is not first on the list: $(firstListed)"

# Ctrl+Q: the credits, then the start screen again.
focusAndKey "$win" ctrl+q
credits=$(waitFor "^VORN$")
focusAndKey "$credits" Return
eventually startScreenShown back-on-the-start-screen || fail "Quit did not come back to the start screen"
kill -0 "$pid" 2>/dev/null || fail "Quit ended the program instead of coming back to the start screen"

# A folder dragged from another program and dropped on the window.
"$dragSource" "$work/games/Dropped Road" >"$work/drag.log" 2>&1 &
pids+=("$!"); disown
waitFor "^vorn drag source$" >/dev/null
sleep 0.5
xdotool mousemove 740 30 sleep 0.2 mousedown 1 sleep 0.3
for x in 700 600 500 400 300; do xdotool mousemove "$x" 200 sleep 0.15; done
xdotool sleep 0.3 mouseup 1
eventually playing played-by-drop || fail "the dropped folder did not play: $(cat "$work/drag.log")"
[ "$(firstListed)" = "$work/games/Dropped Road" ] || fail "the dropped game is not first on the list"

kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "SIGTERM ended the player with status $status"

# Started in a game folder with no game named, it plays that game. Where the
# list cannot be written (the configuration folder cannot be made), the game
# plays as ever, no list is kept, and nothing is written anywhere.
: >"$work/not-a-folder"
gamesBefore=$(cd "$work/games" && find . -printf '%p %s %T@\n' | sort)
(cd "$work/games/Sea Road" && exec env XDG_CONFIG_HOME="$work/not-a-folder/config" XDG_DATA_HOME="$work/data" "$player" --zoom 1 --no-music) &
pid=$!; pids+=("$pid")
win=$(waitFor "^VORN Interpeter$")
eventually playing unwritable-list || fail "with a list that cannot be kept, the game in the current folder does not play"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "with a list that cannot be kept, SIGTERM ended the player with status $status"
[ "$(cd "$work/games" && find . -printf '%p %s %T@\n' | sort)" = "$gamesBefore" ] || fail "something was written in a game folder"
[ -s "$work/not-a-folder" ] && fail "something was written where the list could not be kept"
# A game named on the command line joins the list once its first page is on
# screen; the list, written beside the game, is whole when the game ends.
env XDG_CONFIG_HOME="$work/config" XDG_DATA_HOME="$work/data" "$player" --zoom 1 --no-music "$work/games/Sea Road" &
pid=$!; pids+=("$pid")
win=$(waitFor "^VORN Interpeter$")
eventually playing named-game || fail "a game named on the command line does not play"
kill -TERM "$pid"
status=0
wait "$pid" || status=$?
[ "$status" -eq 0 ] || fail "SIGTERM ended the named game with status $status"
[ "$(firstListed)" = "$work/games/Sea Road" ] || fail "the game named on the command line is not first on the list: $(firstListed)"
echo "start screen window: ok (screenshots in $shots)"
