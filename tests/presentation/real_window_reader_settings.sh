#!/usr/bin/env bash
# The reader's settings in a real window under Xvfb: a damaged settings file
# gives the defaults and a note, and the player starts; the Settings… dialog
# and the volume keys write the file, and the next start reads it back; auto
# mode turns the pages with no input and waits at the menu. Headless play,
# check and explore neither read the file nor write one.
# Usage: real_window_reader_settings.sh PLAYER GAME_DIR [SCREENSHOT_DIR]
set -euo pipefail
player=$1 game=$2 shots=${3:-$(mktemp -d)}
mkdir -p "$shots"

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

home=$(mktemp -d)
export HOME=$home XDG_CONFIG_HOME=$home/config XDG_DATA_HOME=$home/data
settings=$XDG_CONFIG_HOME/vorn/settings.json
mkdir -p "$(dirname "$settings")"
pid=""
trap '[ -n "$pid" ] && kill -9 $pid 2>/dev/null; rm -rf "$home"' EXIT

win=""
start() {
  "$player" --zoom 1 --no-music --continue "$game" 2>"$home/stderr" &
  pid=$!
  win=$(window_id "^VORN Interpeter$" 30) || fail "the window did not appear"
  sleep 0.8
  xdotool windowfocus "$win" # keys go to the window with the focus; no window manager gives it one
  sleep 0.2
}
stop() {
  xdotool key ctrl+q
  sleep 0.5
  # The credits box, when one shows, is answered.
  if id=$(window_id --onlyvisible "^VORN$" 3); then xdotool key Return; fi
  ended || fail "the player did not end in order"
}
key() { xdotool key "$1"; sleep 0.5; }
member() { sed -n "s/.*\"$1\": *\\([^,]*\\),*/\\1/p" "$settings"; }
# The text box as a picture, to tell pages apart.
page_shot() { import -window "$win" -crop 512x65+64+340 "$shots/$1.png"; }
same() { [ "$(compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1 || true)" = "0" ]; }

# ---- a damaged file: the defaults, a note, and the player starts -----------
printf '{"musicVolume": 40, ' >"$settings"
start
grep -q "settings file is not a settings document" "$home/stderr" || fail "no note of the damaged file: $(cat "$home/stderr")"

# ---- the dialog and the keys keep the settings ----------------------------
key ctrl+comma
window_id --onlyvisible "^Settings$" 10 >/dev/null || fail "Ctrl+comma opened no Settings dialog"
sleep 0.5
import -window root "$shots/settings-dialog.png"
# The slider has the focus: three steps down from the default 100 %, then OK.
xdotool key Left Left Left
sleep 0.3
xdotool key Return
sleep 0.8
xdotool windowfocus "$win" # back from the dialog, with no window manager to give it back
sleep 0.2
[ "$(member musicVolume)" = "97" ] || fail "the dialog kept volume $(member musicVolume), not 97: $(cat "$settings")"
key 9
[ "$(member musicVolume)" = "87" ] || fail "9 kept volume $(member musicVolume), not 87"
import -window "$win" "$shots/volume-mark.png"
stop

# The next start reads them: M mutes the kept volume rather than the default.
start
! grep -qi settings "$home/stderr" || fail "a note at a start with good settings: $(cat "$home/stderr")"
key m
[ "$(member musicMuted)" = "true" ] || fail "M did not keep the mute"
[ "$(member musicVolume)" = "87" ] || fail "the volume read at start was not 87 but $(member musicVolume)"
stop

# ---- auto mode -------------------------------------------------------------
sed -i 's/"autoDelay": *[0-9]*/"autoDelay": 10/' "$settings"
start
page_shot page0
key a
import -window "$win" "$shots/auto-mark.png"
# The pages turn with no input, until the menu, where they stop.
turns=0 last=page0 changed_at=0
for i in $(seq 60); do
  sleep 0.5
  page_shot "p$i"
  if ! same "$last" "p$i"; then turns=$((turns + 1)) last="p$i" changed_at=$i; fi
  [ $((i - changed_at)) -lt 8 ] || break # four seconds unchanged
done
[ "$turns" -ge 3 ] || fail "auto mode turned $turns pages, not the three or more before the menu"
import -window "$win" "$shots/auto-menu.png"
sleep 3
import -window "$win" "$shots/auto-menu-later.png"
[ "$(compare -metric AE "$shots/auto-menu.png" "$shots/auto-menu-later.png" null: 2>&1 || true)" = "0" ] ||
  fail "the page moved on at the menu"
# The menu offers its options: a key takes one, and auto mode goes on after it.
key 1
page_shot chosen
for _ in $(seq 30); do sleep 0.5; page_shot after; same chosen after || break; done
same chosen after && fail "auto mode did not go on after the choice"
stop

# ---- headless play, check and explore touch no settings --------------------
printf 'not json' >"$settings"
before=$(sha256sum "$settings")
printf 'click\nclick\n' | "$player" --headless "$game" >/dev/null 2>"$home/stderr" || true
"$player" check "$game" >/dev/null 2>>"$home/stderr" || true
"$player" explore "$game" >/dev/null 2>>"$home/stderr" || true
grep -qi "settings" "$home/stderr" && fail "a tool read the settings: $(cat "$home/stderr")"
[ "$(sha256sum "$settings")" = "$before" ] || fail "a tool wrote the settings"
rm "$settings"
printf 'click\n' | "$player" --headless "$game" >/dev/null 2>&1 || true
[ ! -e "$settings" ] || fail "headless play wrote a settings file"
echo "reader settings: ok"
