#!/usr/bin/env bash
# Fast start: the demo game's first page on screen against an empty Qt window
# of the same size, both from a cold process, under Xvfb. Prints the medians
# and their ratio. Usage: bench/startup.sh [BUILD_DIR] [RUNS]
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} runs=${2:-15}
probe="$build/bench/startup_probe"
[ -x "$probe" ] || { echo "build the benchmarks first: cmake -B $build -DVORN_BUILD_BENCH=ON && cmake --build $build"; exit 2; }
if [ -z "${VORN_IN_XVFB:-}" ] && [ -z "${DISPLAY:-}" ]; then
  exec env VORN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24" bash "$0" "$@"
fi

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
measure() { for _ in $(seq "$runs"); do "$probe" "$1" 2>/dev/null; done | median; }

"$probe" empty >/dev/null 2>&1; "$probe" examples/demo >/dev/null 2>&1 # warm the file cache
empty=$(measure empty)
demo=$(measure examples/demo)
echo "empty Qt window, first paint:    ${empty} ms (median of $runs)"
echo "demo game, first page painted:   ${demo} ms (median of $runs)"
awk -v d="$demo" -v e="$empty" 'BEGIN { printf "ratio: %.2f (target: at most 1.5)\n", d / e }'
