#!/usr/bin/env bash
# Soak: the headless player takes random clicks through the demo game, as fast
# as it reads them, for MINUTES minutes; its resident memory, sampled from
# /proc, must stay flat. Prints the samples and the verdict; exit status 1 when
# the memory grew or the player did not end in order.
#
# Usage: bench/soak.sh [MINUTES] [PLAYER]     (defaults: 10, build/vorn)
set -euo pipefail
cd "$(dirname "$0")/.."
minutes=${1:-10}
player=${2:-build/vorn}
interval=${SOAK_INTERVAL:-10} # seconds between samples
[ -x "$player" ] || { echo "no player at $player; build it first: cmake --build build" >&2; exit 2; }

work=$(mktemp -d)
generator="" pid=""
cleanup() {
  [ -n "$generator" ] && kill "$generator" 2>/dev/null || true
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

# Random events, weighted as a reader's: mostly pages, choices, now and then
# the end of the music, "New" and "About". Never a close: that comes at the end.
mkfifo "$work/events"
# It stops by itself, between two lines, once the stop file exists.
awk -v stop="$work/stop" 'BEGIN {
  srand();
  while (1) {
    if (++n % 10000 == 0) { if ((getline line < stop) >= 0) exit; close(stop) }
    r = rand() * 100;
    if (r < 60) print "click text";
    else if (r < 92) print "click option " int((r - 60) / 8 + 1);
    else if (r < 96) print "music done";
    else if (r < 98) print "menu new";
    else print "menu about";
  }
}' > "$work/events" &
generator=$!

mkfifo "$work/out"
wc -l < "$work/out" > "$work/lines" &
# A copy of the game, so that a rebuild of the demo's files cannot cut one short under the player.
cp -r examples/demo "$work/game"
"$player" --headless "$work/game" < "$work/events" > "$work/out" 2> "$work/stderr" &
pid=$!

rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }

echo "soak: $player, demo game, random clicks for $minutes min, resident memory every ${interval}s"
printf '%8s  %10s\n' "seconds" "VmRSS kB"
samples=()
start=$(date +%s)
end=$((start + $(awk -v m="$minutes" 'BEGIN { printf "%d", m * 60 }')))
while :; do
  now=$(date +%s)
  [ -d "/proc/$pid" ] || { echo "the player ended early:"; cat "$work/stderr"; exit 1; }
  kb=$(rss)
  samples+=("$kb")
  printf '%8d  %10d\n' $((now - start)) "$kb"
  [ "$now" -ge "$end" ] && break
  sleep "$interval"
done

# End of input is the close box: the player shuts down in order.
touch "$work/stop"
wait "$generator"
generator=""
status=0
wait "$pid" || status=$?
pid=""
wait
lines=$(cat "$work/lines")

# Flat: leaving out the first sample and the first tenth of the run (start-up,
# the code page rows, the pictures decoded once), the last third of the samples
# averages no more than 1 MB or 2 % above the first third, and no sample
# exceeds that settled size by more than 4 MB.
n=${#samples[@]}
verdict=$(printf '%s\n' "${samples[@]}" | awk -v n="$n" '
  { s[NR] = $1 }
  END {
    from = int(n / 10) + 1; if (from < 2) from = 2; m = n - from + 1;
    if (m < 3) { print "too few samples"; exit }
    third = int(m / 3);
    for (i = from; i < from + third; i++) a += s[i];
    for (i = n - third + 1; i <= n; i++) b += s[i];
    a /= third; b /= third;
    peak = 0; for (i = from; i <= n; i++) if (s[i] > peak) peak = s[i];
    limit = (a * 0.02 > 1024) ? a * 0.02 : 1024;
    printf "settled %.0f kB, last third %.0f kB (%+.0f kB), peak %d kB: ", a, b, b - a, peak;
    if (b - a > limit || peak - a > 4096) print "GROWING"; else print "flat";
  }')
grep -v '^QStandardPaths' "$work/stderr" || true
echo "output lines written: $lines; the player ended with status $status"
echo "verdict: $verdict"
[ "$status" -eq 0 ] || exit 1
case "$verdict" in *flat) exit 0 ;; *) exit 1 ;; esac
