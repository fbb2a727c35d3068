# Sourced by the page's tests and benchmarks: serve_site DIR [COMMAND...]
# serves DIR on a free localhost port, with Python's own web server or with
# COMMAND DIR PORT, and returns once it answers; $port is the port and
# $server the server's process, which the caller stops (stop_site does).
serve_site() {
  local dir=$1
  shift
  port=$(python3 -c 'import socket; s = socket.socket(); s.bind(("127.0.0.1", 0)); print(s.getsockname()[1])')
  if [ $# -gt 0 ]; then
    "$@" "$dir" "$port" >/dev/null 2>&1 &
  else
    python3 -m http.server "$port" --bind 127.0.0.1 --directory "$dir" >/dev/null 2>&1 &
  fi
  server=$!
  for _ in $(seq 50); do (exec 3<>"/dev/tcp/127.0.0.1/$port") 2>/dev/null && return 0; sleep 0.1; done
}

stop_site() {
  if [ -n "${server:-}" ]; then kill "$server" 2>/dev/null || true; fi
}

# zip_game FOLDER TARGET.zip: a game's folder zipped as games are passed
# around, in a folder of its own named as the game's.
zip_game() {
  (cd "$(dirname "$1")" && python3 -m zipfile -c "$2" "$(basename "$1")")
}
