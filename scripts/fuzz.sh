#!/usr/bin/env bash
# Builds the fuzzers (libFuzzer, clang) and runs them.
#
#   scripts/fuzz.sh [SECONDS]     fuzz the script interpreter for SECONDS (default
#                                 600), the MIDI device, the archive reader and
#                                 the saved games' reader for a third of that each;
#                                 new inputs are kept in build-fuzz/corpus/,
#                                 crashes in build-fuzz/crashes/
#   scripts/fuzz.sh --regression  what CI runs: every seed and every input in
#                                 fuzz/regressions/ once, then short fuzzing runs
#                                 from a fixed seed
#
# An input that crashed goes into fuzz/regressions/TARGET/ once its fault is fixed.
set -euo pipefail
cd "$(dirname "$0")/.."

build=build-fuzz
cmake -S fuzz -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_CXX_COMPILER=clang++ >/dev/null
cmake --build "$build"
rm -rf "$build/seeds"
python3 fuzz/seed_corpus.py . "$build/seeds"
mkdir -p "$build/corpus/script" "$build/corpus/midi" "$build/corpus/archive" "$build/corpus/save" "$build/crashes"

common=(-timeout=10 -artifact_prefix="$build/crashes/" -print_final_stats=1)
script_options=("${common[@]}" -max_len=8192 -dict=fuzz/script.dict)
midi_options=("${common[@]}" -max_len=4096)
archive_options=("${common[@]}" -max_len=16384)
save_options=("${common[@]}" -max_len=16384 -dict=fuzz/save.dict)

if [ "${1:-}" = "--regression" ]; then
  scratch=$(mktemp -d)
  trap 'rm -rf "$scratch"' EXIT
  mkdir -p "$scratch/script" "$scratch/midi" "$scratch/archive" "$scratch/save"
  echo "== script fuzzer: the seeds and the saved regressions, once each"
  "$build/script_fuzzer" "${script_options[@]}" -runs=0 "$build/seeds/script" fuzz/regressions/script
  echo "== script fuzzer: a short run from a fixed seed"
  "$build/script_fuzzer" "${script_options[@]}" -seed=1 -runs=40000 -max_total_time=90 "$scratch/script" \
    "$build/seeds/script" fuzz/regressions/script
  echo "== MIDI fuzzer: the seeds and the saved regressions, then a short run from a fixed seed"
  "$build/midi_fuzzer" "${midi_options[@]}" -runs=0 "$build/seeds/midi" fuzz/regressions/midi
  "$build/midi_fuzzer" "${midi_options[@]}" -seed=1 -runs=10000 -max_total_time=30 "$scratch/midi" \
    "$build/seeds/midi" fuzz/regressions/midi
  echo "== archive fuzzer: the seeds and the saved regressions, then a short run from a fixed seed"
  "$build/archive_fuzzer" "${archive_options[@]}" -runs=0 "$build/seeds/archive" fuzz/regressions/archive
  "$build/archive_fuzzer" "${archive_options[@]}" -seed=1 -runs=20000 -max_total_time=30 "$scratch/archive" \
    "$build/seeds/archive" fuzz/regressions/archive
  echo "== save fuzzer: the seeds and the saved regressions, then a short run from a fixed seed"
  "$build/save_fuzzer" "${save_options[@]}" -runs=0 "$build/seeds/save" fuzz/regressions/save
  "$build/save_fuzzer" "${save_options[@]}" -seed=1 -runs=20000 -max_total_time=30 "$scratch/save" \
    "$build/seeds/save" fuzz/regressions/save
  echo "fuzz regression: ok"
else
  seconds=${1:-600}
  "$build/script_fuzzer" "${script_options[@]}" -max_total_time="$seconds" "$build/corpus/script" \
    "$build/seeds/script" fuzz/regressions/script
  "$build/midi_fuzzer" "${midi_options[@]}" -max_total_time=$((seconds / 3 + 1)) "$build/corpus/midi" \
    "$build/seeds/midi" fuzz/regressions/midi
  "$build/archive_fuzzer" "${archive_options[@]}" -max_total_time=$((seconds / 3 + 1)) "$build/corpus/archive" \
    "$build/seeds/archive" fuzz/regressions/archive
  "$build/save_fuzzer" "${save_options[@]}" -max_total_time=$((seconds / 3 + 1)) "$build/corpus/save" \
    "$build/seeds/save" fuzz/regressions/save
fi
