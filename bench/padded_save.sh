#!/usr/bin/env bash
# What a padded save costs the player: a save of a small game, padded to
# SIZE MB in three ways (one long text under a member of unknown name, a
# million small objects under one, and backlog entries), is loaded
# headless from --save-dir, and the slot is then listed by a save into a
# new slot. Prints each case's answer and the player's peak resident memory
# (GNU time's "Maximum resident set size"), which stays under 250 MB.
#
#   bench/padded_save.sh [PLAYER] [SIZE_MB]    (default: build/vorn, 30)
set -euo pipefail
player=${1:-build/vorn}
size=${2:-30}
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

game="$work/game"
mkdir -p "$game" "$work/saves"
cp examples/demo/back.bmp examples/demo/mouse.ico examples/demo/text.bmp "$game/"
printf '"one"\r\n"two"\r\n"three"\r\n' >"$game/code.vrn"
printf 'save q\n' | "$player" --headless --save-dir "$work/saves" "$game" >/dev/null

python3 - "$work/saves/q.json" "$size" <<'PY'
import sys
path, size = sys.argv[1], int(sys.argv[2]) * 1024 * 1024
good = open(path, encoding="utf-8").read()
head, tail = good.split('"backlog":', 1)
cases = {
    "text": '"padding":"' + "x" * size + '",\n',
    "objects": '"padding":[' + ",".join(["{}"] * (size // 3)) + '],\n',
    "backlog": None,
}
for name, padding in cases.items():
    if padding is None:
        entries = ",".join(['{"page":"x"}'] * (size // 13))
        document = head + '"backlog":[' + entries + "]}\n"
    else:
        document = head + padding + '"backlog":' + tail
    open(path.replace("q.json", name + ".json"), "w", encoding="utf-8").write(document)
PY

for slot in text objects backlog; do
  out=$(printf 'load %s\n' "$slot" |
    /usr/bin/time -f '%M %e %U' -o "$work/time" "$player" --headless --save-dir "$work/saves" "$game" |
    grep -o '{"\(loaded\|refused\)":"[a-z]*"[^}]*' | cut -c1-110)
  read -r kb seconds user <"$work/time"
  printf '%-8s %6.1f MB file  peak %5d MB  %5.2f s wall  %5.2f s CPU  %s\n' "$slot" \
    "$(echo "scale=1; $(stat -c %s "$work/saves/$slot.json") / 1048576" | bc)" $((kb / 1024)) "$seconds" "$user" "$out"
done
