#!/usr/bin/env bash
# A real window under Xvfb on a Japanese desktop (LANG=ja_JP.UTF-8): the About
# box and a fatal report, each screenshotted beside the same box in English.
# The About box is the game's own and must look exactly alike; the report is
# the player's own and must be worded differently.
# Usage: real_window_japanese.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
mkdir -p "$shots"

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

export LANG=ja_JP.UTF-8 LC_ALL= LC_MESSAGES= LANGUAGE=
pid=""
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null || true' EXIT

# A box of the player's is a window named "VORN"; its picture goes to $1.
shoot_box() {
  local box
  box=$(window_id --onlyvisible "^VORN$") || fail "no box appeared for $1"
  sleep 0.5
  import -window "$box" "$shots/$1.png"
  import -window root "$shots/$1-screen.png"
  xdotool windowfocus --sync "$box" key Return
}

# The About box, from the pop-up menu's last entry.
about() { # LANGUAGE_OPTION...
  "$player" --zoom 1 --no-music "$@" "$game" &
  pid=$!
  local win
  win=$(window_id --onlyvisible "^VORN Interpeter$") || fail "the window did not appear"
  sleep 0.5
  xdotool windowfocus --sync "$win" key shift+F10
  sleep 0.3
  xdotool key Down Down Down Return # the third entry, "About"
}

about
shoot_box about-ja
sleep 0.3
kill -TERM $pid; wait $pid || true; pid=""
about --language en
shoot_box about-en
sleep 0.3
kill -TERM $pid; wait $pid || true; pid=""
compare -metric AE "$shots/about-ja.png" "$shots/about-en.png" null: 2>/dev/null ||
  fail "the About box differs between Japanese and English: the credits or its button changed"

# A fatal report: the first click shows a picture that is not there.
broken=$(mktemp -d)
cp "$game"/back.bmp "$game"/mouse.ico "$game"/text.bmp "$broken"/
printf '\xEF\xBB\xBF"\xE6\x89\x89\xE3\x81\xAE\xE5\x89\x8D"<\xE6\xB4\x9E\xE7\xAA\x9F.bmp>\r\n"x"' > "$broken/code.vrn"
report() { # NAME LANGUAGE_OPTION...
  local name=$1
  shift
  "$player" --zoom 1 --no-music "$@" "$broken" 2>/dev/null &
  pid=$!
  local win
  win=$(window_id --onlyvisible "^VORN Interpeter$") || fail "the window did not appear"
  sleep 0.5
  xdotool mousemove --window "$win" 300 370 click 1
  shoot_box "$name"
  local status=0
  wait $pid || status=$?
  pid=""
  [ "$status" -eq 1 ] || fail "a fatal report ended the player with status $status, not 1"
}
report fatal-ja
report fatal-en --language en
rm -rf "$broken"
if compare -metric AE "$shots/fatal-ja.png" "$shots/fatal-en.png" null: 2>/dev/null; then
  echo "the fatal report reads the same in Japanese and English"
  exit 1
fi
trap - EXIT
echo "Japanese window: ok (screenshots in $shots)"
