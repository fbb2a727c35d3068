#!/usr/bin/env bash
# The player's command line as a user meets it: help, version, usage errors,
# and a clear line when there is no display to open a window on, or one that
# cannot be reached.
set -uo pipefail
vorn=$1 demo=$2
fail() { echo "FAIL: $*"; exit 1; }

out=$("$vorn" --help) || fail "--help exits with $?"
grep -q -- '--headless' <<<"$out" || fail "--help does not mention --headless"
"$vorn" --version | grep -Eq '^vorn [0-9]+\.[0-9]+' || fail "--version"

err=$("$vorn" --no-such-option 2>&1); status=$?
[ $status -eq 2 ] || fail "a bad option exits with $status, not 2"
grep -q "unknown option" <<<"$err" || fail "a bad option is not named: $err"

err=$("$vorn" /no/such/folder 2>&1); status=$?
[ $status -eq 2 ] || fail "a missing game folder exits with $status, not 2"
grep -q "does not exist" <<<"$err" || fail "a missing folder is not explained: $err"

err=$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$vorn" "$demo" 2>&1); status=$?
[ $status -eq 1 ] || fail "without a display the player exits with $status"
[ "$(wc -l <<<"$err")" -eq 1 ] || fail "without a display the player says more than one line: $err"
grep -q -- "--headless" <<<"$err" || fail "without a display the player does not point to --headless"
# A display named that is not there: said as such, not Qt's abort.
err=$(env -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM DISPLAY=:65500 "$vorn" "$demo" 2>&1); status=$?
[ $status -eq 1 ] || fail "with an unreachable display the player exits with $status: $err"
grep -q "cannot open a window on the display (DISPLAY=:65500)" <<<"$err" || fail "an unreachable display is not named: $err"
grep -q -- "--headless" <<<"$err" || fail "with an unreachable display the player does not point to --headless"
! grep -qi "reinstall" <<<"$err" || fail "an unreachable display is blamed on the installation: $err"

out=$(printf 'click text\n' | "$vorn" --headless "$demo/code.vrn") || fail "headless play of a code.vrn path"
grep -q '"event":"click text"' <<<"$out" || fail "headless play did not echo the event"
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
(cd "$demo/.." && python3 -c 'import shutil, sys; shutil.make_archive(sys.argv[1], "zip", ".", sys.argv[2])' \
  "$scratch/demo" "$(basename "$demo")") || fail "cannot zip the demo"
out=$(printf 'click text\n' | "$vorn" --headless "$scratch/demo.zip") || fail "headless play of a zip exits with $?"
[ "$out" = "$(printf 'click text\n' | "$vorn" --headless "$demo")" ] || fail "the zip plays otherwise than its folder"
printf 'not an archive\n' >"$scratch/notes.txt"
err=$("$vorn" --headless "$scratch/notes.txt" 2>&1 >/dev/null); status=$?
[ $status -eq 1 ] || fail "a file that is no archive exits with $status, not 1"
grep -q "nor an archive" <<<"$err" || fail "a file that is no archive is not explained: $err"
# A script saved as UTF-8 without the byte-order mark plays as Shift-JIS, as
# the rules say; the player says why it looks garbled, once, on standard error
# alone, so the transcript is that of any other player.
mkdir "$scratch/utf8"
cp "$demo"/*.bmp "$demo"/*.ico "$scratch/utf8/"
printf '"\xe9\x90\x98\xe3\x81\x8c\xe9\xb3\xb4\xe3\x82\x8b"\r\n"\xe7\xb5\x82"\r\n' >"$scratch/utf8/code.vrn"
out=$(printf 'click text\nclick text\n' | "$vorn" --headless "$scratch/utf8" 2>"$scratch/err") || fail "a UTF-8 script without the mark does not play"
[ "$(grep -c 'byte-order mark' "$scratch/err")" -eq 1 ] || fail "the note on the missing byte-order mark is not said once: $(cat "$scratch/err")"
grep -q 'byte-order' <<<"$out" && fail "the note on the missing byte-order mark is in the transcript"
grep -q '"text"' <<<"$out" || fail "a UTF-8 script without the mark shows no page"
# Started in a folder without a game, each names that folder in full, not ".".
mkdir "$scratch/no game"
nogame=$(cd "$scratch/no game" && pwd -P)
for run in "--headless" "check" "explore"; do
  err=$(cd "$scratch/no game" && "$vorn" $run </dev/null 2>&1); status=$?
  [ $status -eq 1 ] || fail "vorn $run without a game exits with $status, not 1"
  grep -qF "cannot open the script \"code.vrn\" in $nogame:" <<<"$err" ||
    fail "vorn $run without a game does not name the folder in full: $err"
done
echo "command line: ok"
