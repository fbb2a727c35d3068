#!/usr/bin/env bash
# The real window read as a screen reader reads it: under Xvfb and a D-Bus
# session of its own with the accessibility bus, the system's python3 with
# pyatspi reads the demo's pages, its options as named buttons and the focus,
# and plays to an ending with keys alone.
# Usage: real_window_a11y.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
here=$(cd "$(dirname "$0")" && pwd)

source "$here/xvfb_window.sh"
run_in_xvfb "$@"
if [ -z "${VORN_IN_DBUS:-}" ]; then
  exec env VORN_IN_DBUS=1 dbus-run-session -- bash "$0" "$@"
fi
mkdir -p "$shots"

# Its own home and folders: nothing earlier runs kept changes what it reads.
home=$(mktemp -d)
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
# Qt builds its tree for the bus without a screen reader running.
export QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 NO_AT_BRIDGE=0
LANG=C.UTF-8 "$player" --zoom 1 --no-music --language en "$game" &
pid=$!
trap 'kill -9 $pid 2>/dev/null || true; rm -rf "$home"' EXIT

win=$(window_id "^VORN Interpeter$") || fail "the window did not appear"
xdotool windowfocus --sync "$win" 2>/dev/null || true
sleep 0.5

/usr/bin/python3 "$here/a11y_reader.py" "$pid" || { import -window root "$shots/a11y-failed.png"; fail "read through AT-SPI"; }

kill -TERM $pid
status=0
wait $pid || status=$?
trap - EXIT
rm -rf "$home"
[ "$status" -eq 0 ] || fail "SIGTERM ended the player with status $status"
echo "real window through AT-SPI: ok"
