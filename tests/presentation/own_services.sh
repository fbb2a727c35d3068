# Sourced by the tests and benchmarks that run the player against a sound
# server and a speech service of their own, in a scratch folder WORK, found
# through the environment by the player and by nothing else on the machine.

# start_sound_server WORK SINK: a PulseAudio server whose only output is the
# null sink SINK (record it from SINK.monitor). Exports PULSE_SERVER and
# PULSE_RUNTIME_PATH; returns 1 when the server does not answer in 5 s.
start_sound_server() {
  mkdir -p "$1/pulse"
  export PULSE_RUNTIME_PATH=$1/pulse PULSE_SERVER=unix:$1/pulse/native
  HOME=$1 pulseaudio -n --daemonize=yes --exit-idle-time=-1 --use-pid-file=yes --log-target=file:"$1/pulse.log" \
    --load="module-native-protocol-unix auth-anonymous=1 socket=$1/pulse/native" \
    --load="module-null-sink sink_name=$2" 2>/dev/null
  for _ in $(seq 50); do pactl info >/dev/null 2>&1 && return 0; sleep 0.1; done
  return 1
}

# start_speech_service WORK LOG_LEVEL: speech-dispatcher with its socket in
# WORK/run and its log in WORK/logs; exports HOME (WORK/home), XDG_RUNTIME_DIR
# and SPEECHD_ADDRESS. Returns 1 when its socket does not appear in 5 s.
start_speech_service() {
  mkdir -p "$1/run" "$1/logs" "$1/home"
  chmod 700 "$1/run"
  export HOME=$1/home XDG_RUNTIME_DIR=$1/run SPEECHD_ADDRESS=unix_socket:$1/run/speechd.sock
  speech-dispatcher -d -l "$2" -L "$1/logs" -S "$1/run/speechd.sock" -t 0 -P "$1/run/speechd.pid" 2>"$1/speechd.err"
  for _ in $(seq 50); do [ -S "$1/run/speechd.sock" ] && return 0; sleep 0.1; done
  return 1
}

# stop_daemon PIDFILE: ends the daemon the file names and waits (5 s at most)
# until it has gone, so that nothing it still writes (its log, its modules'
# files) lands in a folder being removed.
stop_daemon() {
  local daemon
  daemon=$(cat "$1" 2>/dev/null) || return 0
  kill "$daemon" 2>/dev/null || return 0
  for _ in $(seq 50); do kill -0 "$daemon" 2>/dev/null || return 0; sleep 0.1; done
  kill -9 "$daemon" 2>/dev/null || true
}

# remove_services_work WORK: stops the services started in WORK and removes
# it, or keeps it when VORN_KEEP_WORK is set. Never fails: it runs on exit.
remove_services_work() {
  stop_daemon "$1/run/speechd.pid"
  stop_daemon "$1/pulse/pid"
  if [ -n "${VORN_KEEP_WORK:-}" ]; then echo "kept: $1"; return 0; fi
  # A module the speech service started may still be closing its files.
  for _ in 1 2 3; do rm -rf "$1" 2>/dev/null && return 0; sleep 0.5; done
  echo "warning: could not remove $1" >&2
}
