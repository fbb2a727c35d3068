#!/usr/bin/env bash
# The real window read as a screen reader reads it: under Xvfb and a D-Bus
# session of its own with the accessibility bus, the system's python3 with
# pyatspi reads the demo's pages, its options as named buttons and the focus,
# and plays to an ending with keys alone; then the start screen's and the slot
# dialogs' lists and buttons, by their names and descriptions.
# Usage: real_window_a11y.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$(realpath "$1") game=$(realpath "$2") shots=${3:-$(mktemp -d)}
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
trap 'rm -rf "$home"' EXIT

# The reader starts the player once the bus holds its listeners, and ends it
# with SIGTERM, which must end it with status 0.
/usr/bin/python3 "$here/a11y_reader.py" "$player" "$game" \
  || { import -window root "$shots/a11y-failed.png"; fail "read through AT-SPI"; }

# The start screen and the slot dialogs: the demo played before, and a
# folder without a game, which cannot be opened; the place kept when the demo
# was ended above is forgotten, so that it starts without a question.
rm -rf "$home/data"
mkdir -p "$home/config/vorn" "$home/empty" "$home/Broken Road"
cat >"$home/config/vorn/games.json" <<JSON
{"games": [{"path": "$game", "lastPlayed": "2026-02-01T10:00:00.000Z"},
           {"path": "$home/Broken Road", "lastPlayed": "2026-01-01T10:00:00.000Z"}]}
JSON
/usr/bin/python3 "$here/a11y_labels.py" "$player" "$home/empty" \
  || { import -window root "$shots/a11y-labels-failed.png"; fail "the start screen and the slot dialogs through AT-SPI"; }
echo "real window through AT-SPI: ok"
