#!/usr/bin/env bash
# The window thread's longest stall at the first V, with a speech service of
# the script's own (speech-dispatcher and espeak-ng into a PulseAudio null
# sink), as tests/presentation/real_window_voicing.sh sets one up.
# Usage: bench/voicing_stall.sh [BUILD_DIR] [SECONDS]
set -euo pipefail
build=${1:-build} seconds=${2:-12}
probe=$build/bench/voicing_stall
[ -x "$probe" ] || { echo "build the benchmarks first: cmake -B $build -DVORN_BUILD_BENCH=ON && cmake --build $build"; exit 2; }
work=$(mktemp -d)
cleanup() {
  [ -f "$work/run/speechd.pid" ] && kill "$(cat "$work/run/speechd.pid")" 2>/dev/null || true
  [ -f "$work/pulse/pid" ] && kill "$(cat "$work/pulse/pid")" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT
mkdir -p "$work/pulse" "$work/run" "$work/logs" "$work/home"
chmod 700 "$work/run"
export PULSE_RUNTIME_PATH=$work/pulse PULSE_SERVER=unix:$work/pulse/native
HOME=$work pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes --log-target=file:"$work/pulse.log" \
  --load="module-native-protocol-unix auth-anonymous=1 socket=$work/pulse/native" \
  --load="module-null-sink sink_name=voice" 2>/dev/null
for _ in $(seq 50); do pactl info >/dev/null 2>&1 && break; sleep 0.1; done
export HOME=$work/home XDG_RUNTIME_DIR=$work/run SPEECHD_ADDRESS=unix_socket:$work/run/speechd.sock
speech-dispatcher -d -l 1 -L "$work/logs" -S "$work/run/speechd.sock" -t 0 -P "$work/run/speechd.pid" 2>/dev/null
for _ in $(seq 50); do [ -S "$work/run/speechd.sock" ] && break; sleep 0.1; done
[ -S "$work/run/speechd.sock" ] || { echo "the speech service did not start"; exit 1; }
QT_QPA_PLATFORM=offscreen "$probe" "$seconds"
