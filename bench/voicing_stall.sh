#!/usr/bin/env bash
# The window thread's longest stall at the first V, with a speech service of
# the script's own (speech-dispatcher and espeak-ng into a PulseAudio null
# sink), as tests/presentation/real_window_voicing.sh sets one up.
# Usage: bench/voicing_stall.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build} seconds=${2:-12}
probe=$build/bench/voicing_stall
[ -x "$probe" ] || { echo "build the benchmarks first: cmake -B $build -DVORN_BUILD_BENCH=ON && cmake --build $build"; exit 2; }
source "$(dirname "$0")/../tests/presentation/own_services.sh"
work=$(mktemp -d)
trap 'remove_services_work "$work"' EXIT
start_sound_server "$work" voice || { echo "the sound server did not start"; exit 1; }
start_speech_service "$work" 1 || { echo "the speech service did not start"; exit 1; }
QT_QPA_PLATFORM=offscreen "$probe" "$seconds"
