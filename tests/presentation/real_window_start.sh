#!/usr/bin/env bash
# The window's first page under Xvfb, started the usual way and the ways in
# which the player prepares less of the window system ahead (a locale that is
# not UTF-8, a Wayland session that has no Wayland, plugins looked for in a
# folder of the user's): each start shows its window and the same first page,
# pixel for pixel, and ends in order at SIGTERM.
# Usage: real_window_start.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
mkdir -p "$shots"

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

data=$(mktemp -d) plugins=$(mktemp -d)
pid=""
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null || true; rm -rf "$data" "$plugins"' EXIT

# first_page NAME ZOOM [VARIABLE=VALUE...]: the first page's screenshot, as NAME.
first_page() {
  local name=$1 zoom=$2
  shift 2
  env "$@" XDG_DATA_HOME="$data" "$player" --zoom "$zoom" --no-music "$game" &
  pid=$!
  win=$(window_id --onlyvisible "^VORN Interpeter$") || fail "$name: the window did not appear"
  shot "$name"
  kill -TERM $pid
  ended || fail "$name: SIGTERM ended the player with status $?"
  rm -rf "${data:?}"/*
}

for zoom in 1 2; do
  first_page "start-$zoom" $zoom
  lit=$(convert "$shots/start-$zoom.png" -threshold 50% -format '%[fx:mean]' info:)
  awk -v m="$lit" 'BEGIN { exit !(m > 0.001) }' || fail "zoom $zoom: the first page is blank"
done
first_page start-c-locale 1 LC_ALL=C LANG=C
first_page start-wayland-session 1 XDG_SESSION_TYPE=wayland
first_page start-plugin-path 1 QT_PLUGIN_PATH="$plugins"
for other in start-c-locale start-wayland-session start-plugin-path; do
  [ "$(differing start-1 $other)" = "0" ] || fail "$other: the first page differs from the usual start's"
done
echo "window start: ok (screenshots in $shots)"
