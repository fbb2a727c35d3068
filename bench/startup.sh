#!/usr/bin/env bash
# Fast start: the demo game's first page on screen against an empty Qt window
# of the same size, both timed from the moment they are started (shared
# libraries loaded, window shown, first paint done), under Xvfb. Prints the
# medians at zoom 1 and at zoom 2, and their ratios; then the first page played
# straight from a zip of the demo against from its folder.
# Usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} runs=${2:-21}
bench="$build/bench"
[ -x "$bench/startup_probe" ] || { echo "build the benchmarks first: cmake -B $build -DVORN_BUILD_BENCH=ON && cmake --build $build"; exit 2; }
if [ -z "${VORN_IN_XVFB:-}" ] && [ -z "${DISPLAY:-}" ]; then
  exec env VORN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1920x1080x24 -noreset" bash "$0" "$@"
fi

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
# The two are started in turns, so a busy moment of the machine hits both.
compare() {
  local zoom=$1 empty=() demo=()
  "$bench/startup_launch" "$bench/empty_window" "$zoom" >/dev/null 2>&1 # warm the file cache
  "$bench/startup_launch" "$bench/startup_probe" examples/demo --zoom "$zoom" >/dev/null 2>&1
  for _ in $(seq "$runs"); do
    empty+=("$("$bench/startup_launch" "$bench/empty_window" "$zoom" 2>/dev/null)")
    demo+=("$("$bench/startup_launch" "$bench/startup_probe" examples/demo --zoom "$zoom" 2>/dev/null)")
  done
  local e d
  e=$(printf '%s\n' "${empty[@]}" | median)
  d=$(printf '%s\n' "${demo[@]}" | median)
  echo "zoom $zoom: empty Qt window ${e} ms, demo's first page ${d} ms (medians of $runs)"
  awk -v d="$d" -v e="$e" -v z="$zoom" 'BEGIN { printf "zoom %s: ratio %.2f (target: at most 1.5)\n", z, d / e }'
}
compare 1
compare 2

# The same first page from a zip of the demo (deflated, in a folder of its
# own, as games are passed around) against from the demo's folder.
archive_dir=$(mktemp -d)
trap 'rm -rf "$archive_dir"' EXIT
(cd examples && python3 -m zipfile -c "$archive_dir/demo.zip" demo)
folder=() zipped=()
"$bench/startup_launch" "$bench/startup_probe" "$archive_dir/demo.zip" --zoom 1 >/dev/null 2>&1
for _ in $(seq "$runs"); do
  folder+=("$("$bench/startup_launch" "$bench/startup_probe" examples/demo --zoom 1 2>/dev/null)")
  zipped+=("$("$bench/startup_launch" "$bench/startup_probe" "$archive_dir/demo.zip" --zoom 1 2>/dev/null)")
done
f=$(printf '%s\n' "${folder[@]}" | median)
z=$(printf '%s\n' "${zipped[@]}" | median)
echo "zoom 1: demo's first page from its folder ${f} ms, from a zip of it ${z} ms (medians of $runs)"
awk -v z="$z" -v f="$f" 'BEGIN { printf "zip against folder: ratio %.2f (target: at most 1.2)\n", z / f }'
