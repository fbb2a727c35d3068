#!/usr/bin/env bash
# Fast start: the demo game's first page on screen against an empty Qt window
# of the same size, both timed from the moment they are started (shared
# libraries loaded, window shown, first paint done), under Xvfb. Prints the
# medians at zoom 1 and at zoom 2, and their ratios, on the clock and in CPU
# time of the main thread (which a busy machine disturbs far less); then the
# first page played straight from a zip of the demo against from its folder.
# With a BASELINE_BUILD_DIR, the first page of that build's player (another
# branch, say) is timed in the same turns, side by side with this one's.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS] [BASELINE_BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} runs=${2:-21} baseline=${3:-}
bench="$build/bench"
[ -x "$bench/startup_probe" ] || { echo "build the benchmarks first: cmake -B $build -DVORN_BUILD_BENCH=ON && cmake --build $build"; exit 2; }
[ -z "$baseline" ] || [ -x "$baseline/bench/startup_probe" ] || { echo "no benchmarks built in $baseline"; exit 2; }
if [ -z "${VORN_IN_XVFB:-}" ] && [ -z "${DISPLAY:-}" ]; then
  exec env VORN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" bash "$0" "$@"
fi
# A session bus, as every desktop session has: without one, the first widget
# of each program (the empty window's too) starts dbus-launch to look for the
# accessibility bus, which no reader's desktop makes it do.
if [ -z "${DBUS_SESSION_BUS_ADDRESS:-}" ] && command -v dbus-run-session >/dev/null; then
  exec dbus-run-session -- bash "$0" "$@"
fi
# A home of its own: the player keeps its list of games there, not in the user's.
home=$(mktemp -d)
trap 'rm -rf "$home"' EXIT
export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
# One column of "WALL CPU" lines.
wall() { printf '%s\n' "$@" | awk '{ print $1 }' | median; }
cpu() { printf '%s\n' "$@" | awk '{ print $2 }' | median; }
launch() { "$bench/startup_launch" "$@" 2>/dev/null; }
# The programs are started in turns, so a busy moment of the machine hits all.
compare() {
  local zoom=$1 empty=() demo=() before=()
  launch "$bench/empty_window" "$zoom" >/dev/null # warm the file cache
  launch "$bench/startup_probe" examples/demo --zoom "$zoom" >/dev/null
  [ -z "$baseline" ] || launch "$baseline/bench/startup_probe" examples/demo --zoom "$zoom" >/dev/null
  for _ in $(seq "$runs"); do
    empty+=("$(launch "$bench/empty_window" "$zoom")")
    demo+=("$(launch "$bench/startup_probe" examples/demo --zoom "$zoom")")
    [ -z "$baseline" ] || before+=("$(launch "$baseline/bench/startup_probe" examples/demo --zoom "$zoom")")
  done
  local e d ec dc
  e=$(wall "${empty[@]}") d=$(wall "${demo[@]}") ec=$(cpu "${empty[@]}") dc=$(cpu "${demo[@]}")
  echo "zoom $zoom: empty Qt window ${e} ms (main thread CPU ${ec} ms), demo's first page ${d} ms (${dc} ms) (medians of $runs)"
  awk -v d="$d" -v e="$e" -v dc="$dc" -v ec="$ec" -v z="$zoom" 'BEGIN {
    printf "zoom %s: ratio %.2f (target: at most 1.25), in main thread CPU %.2f\n", z, d / e, dc / ec }'
  if [ -n "$baseline" ]; then
    local b bc
    b=$(wall "${before[@]}") bc=$(cpu "${before[@]}")
    awk -v b="$b" -v bc="$bc" -v e="$e" -v ec="$ec" -v z="$zoom" -v dir="$baseline" 'BEGIN {
      printf "zoom %s: %s first page %s ms (%s ms): ratio %.2f, in main thread CPU %.2f\n", z, dir, b, bc, b / e, bc / ec }'
  fi
}
compare 1
compare 2

# The same first page from a zip of the demo (deflated, in a folder of its
# own, as games are passed around) against from the demo's folder.
archive_dir=$(mktemp -d)
trap 'rm -rf "$archive_dir" "$home"' EXIT
(cd examples && python3 -m zipfile -c "$archive_dir/demo.zip" demo)
folder=() zipped=()
launch "$bench/startup_probe" "$archive_dir/demo.zip" --zoom 1 >/dev/null
for _ in $(seq "$runs"); do
  folder+=("$(launch "$bench/startup_probe" examples/demo --zoom 1)")
  zipped+=("$(launch "$bench/startup_probe" "$archive_dir/demo.zip" --zoom 1)")
done
f=$(wall "${folder[@]}") z=$(wall "${zipped[@]}")
echo "zoom 1: demo's first page from its folder ${f} ms, from a zip of it ${z} ms (medians of $runs)"
awk -v z="$z" -v f="$f" 'BEGIN { printf "zip against folder: ratio %.2f (target: at most 1.2)\n", z / f }'
