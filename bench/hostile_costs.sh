#!/usr/bin/env bash
# What hostile or merely odd games cost the player, run as a process under
# /usr/bin/time: peak memory (maximum resident set) and time for each case.
#   - archives with names tens of thousands of folders deep (a zip with one
#     such entry, one with eight, a .tar.gz with one 200,000 deep): each must
#     answer within 200 MB and 5 s;
#   - eight 27 MB pictures shown one after the other, from the game's folder
#     and from a zip of it: the zip at most 1.5 times the folder, plus 50 MB;
#   - a page of 1 MB shown 300 times over: at most 100 MB, however many
#     places are kept to go back to;
#   - picture names of 4,000 and 25,000 `..\` parts: each within 2 s.
# The games are made here, in a scratch folder, and played headless, each run
# bounded to 4 GB of address space and 60 s (exit 124: the time ran out).
# Wall-clock times are noisy on a shared machine: the CPU seconds are steadier.
# Usage: bench/hostile_costs.sh [PLAYER]   (default: build/vorn)
set -euo pipefail
cd "$(dirname "$0")/.."
player=$(realpath "${1:-build/vorn}")
[ -x "$player" ] || { echo "no player at $player: build it first"; exit 2; }
[ -x /usr/bin/time ] || { echo "needs /usr/bin/time (Debian package 'time')"; exit 2; }
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

python3 - "$scratch" <<'EOF'
import os, struct, sys, tarfile, io, zipfile
scratch = sys.argv[1]
script = b'"x"'

def deep(folders):
    return "x/" * folders + "f"

with zipfile.ZipFile(f"{scratch}/deep.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("code.vrn", script)
    z.writestr(deep(32767), b"x")
with zipfile.ZipFile(f"{scratch}/eight.zip", "w", zipfile.ZIP_DEFLATED) as z:
    z.writestr("code.vrn", script)
    for c in "abcdefgh":
        z.writestr(c + "/" + deep(32766), b"x")
with tarfile.open(f"{scratch}/deeper.tar.gz", "w:gz", format=tarfile.PAX_FORMAT) as t:
    for name, data in (("code.vrn", script), (deep(200000), b"x")):
        info = tarfile.TarInfo(name)
        info.size = len(data)
        t.addfile(info, io.BytesIO(data))

# Eight 27 MB bitmaps (3000 x 3000, 24 bits), one page each.
width = height = 3000
row = bytes([0x30, 0x60, 0x90]) * width
pixels = row * height
header = b"BM" + struct.pack("<IHHI", 54 + len(pixels), 0, 0, 54)
header += struct.pack("<IiiHHIIiiII", 40, width, height, 1, 24, 0, len(pixels), 2835, 2835, 0, 0)
game = f"{scratch}/pictures"
os.makedirs(game)
demo = "examples/demo"
for name in ("back.bmp", "mouse.ico", "text.bmp"):
    with open(f"{demo}/{name}", "rb") as src, open(f"{game}/{name}", "wb") as dst:
        dst.write(src.read())
with open(f"{game}/p1.bmp", "wb") as f:
    f.write(header + pixels)
for n in range(2, 9):
    os.link(f"{game}/p1.bmp", f"{game}/p{n}.bmp")
with open(f"{game}/code.vrn", "wb") as f:
    f.write(b"".join(b'<p%d.bmp>"page %d"' % (n, n) for n in range(1, 9)) + b'"end"')
with zipfile.ZipFile(f"{scratch}/pictures.zip", "w", zipfile.ZIP_DEFLATED) as z:
    for name in sorted(os.listdir(game)):
        z.write(f"{game}/{name}", f"pictures/{name}")

# A page of 1 MB shown over and over, by a jump back to it.
folder = f"{scratch}/hugepage"
os.makedirs(folder)
for name in ("back.bmp", "mouse.ico", "text.bmp"):
    os.link(f"{game}/{name}", f"{folder}/{name}")
with open(f"{folder}/code.vrn", "wb") as f:
    f.write(b'*a*\r\n"' + b"p" * (1024 * 1024) + b'"\r\n>a<\r\n')

# Picture names of many parts that each lead up.
for parts in (333, 4000, 25000):
    folder = f"{scratch}/climb{parts}"
    os.makedirs(folder)
    for name in ("back.bmp", "mouse.ico", "text.bmp"):
        os.link(f"{game}/{name}", f"{folder}/{name}")
    with open(f"{folder}/code.vrn", "wb") as f:
        f.write(b'"p"\r\n<' + b"..\\" * parts + b'p1.bmp>"q"')
EOF

# Prints the case's peak memory in MB and its elapsed and CPU seconds.
measure() {
  local label=$1 game=$2 events=$3
  local report status
  # Bounded, so that an older player that needs gigabytes or minutes stops:
  # 4 GB of address space, 60 s.
  report=$(printf '%b' "$events" | { /usr/bin/time -v timeout 60 prlimit --as=4294967296 \
    "$player" --headless --no-music "$game" >/dev/null 2>"$scratch/err"; } 2>&1; echo "status $?") || true
  status=$(tail -n 1 <<<"$report" | awk '{ print $2 }')
  local kb wall user sys
  kb=$(grep -m1 "Maximum resident set size" "$scratch/err" | awk '{ print $NF }')
  wall=$(grep -m1 "Elapsed (wall clock)" "$scratch/err" | awk '{ print $NF }')
  user=$(grep -m1 "User time" "$scratch/err" | awk '{ print $NF }')
  sys=$(grep -m1 "System time" "$scratch/err" | awk '{ print $NF }')
  local says
  says=$(grep -m1 "^vorn:" "$scratch/err" | cut -c1-110 || true)
  awk -v l="$label" -v kb="$kb" -v w="$wall" -v u="$user" -v s="$sys" -v st="$status" -v says="$says" \
    'BEGIN { printf "%-34s %8.1f MB  %8s elapsed  %6.2f s CPU  exit %s  %s\n", l, kb / 1024, w, u + s, st, says }'
  echo "$kb" >"$scratch/last_kb"
}

echo "player: $player"
echo "-- deep names in archives (each: at most 200 MB and 5 s)"
measure "one entry 32,767 deep (zip)" "$scratch/deep.zip" ""
measure "eight entries 32,766 deep (zip)" "$scratch/eight.zip" ""
measure "one entry 200,000 deep (tar.gz)" "$scratch/deeper.tar.gz" ""
echo "-- eight 27 MB pictures (zip: at most 1.5 x folder + 50 MB)"
clicks=$(printf 'click text\\n%.0s' $(seq 9))
measure "from the folder" "$scratch/pictures" "$clicks"
folder_kb=$(cat "$scratch/last_kb")
measure "from a zip" "$scratch/pictures.zip" "$clicks"
zip_kb=$(cat "$scratch/last_kb")
awk -v z="$zip_kb" -v f="$folder_kb" \
  'BEGIN { printf "zip peak %.1f MB against a bound of %.1f MB (1.5 x %.1f + 50)\n", z / 1024, (1.5 * f + 50 * 1024) / 1024, f / 1024 }'
echo "-- a 1 MB page shown 300 times, going back kept (at most 100 MB)"
measure "300 clicks" "$scratch/hugepage" "$(printf 'click text\\n%.0s' $(seq 300))"
echo "-- picture names of many ..\\ parts (each within 2 s)"
measure "333 parts (1005 bytes: walked)" "$scratch/climb333" "click text\n"
measure "4,000 parts" "$scratch/climb4000" "click text\n"
measure "25,000 parts" "$scratch/climb25000" "click text\n"
