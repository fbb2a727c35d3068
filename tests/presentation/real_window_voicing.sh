#!/usr/bin/env bash
# Self-voicing in a real window, heard: the player speaks through the
# desktop's speech service (speech-dispatcher with espeak-ng, a daemon of the
# test's own) into a PulseAudio null sink, whose recording must not be silent.
# V turns it on and says the demo's first page (Japanese and English: a
# Japanese voice); Enter turns the page and the next one is said; the service's
# log shows the words sent. Skipped (77) where the machine has no speech service.
# Usage: real_window_voicing.sh PLAYER GAME_DIR
set -euo pipefail
player=$1 game=$2

for tool in speech-dispatcher espeak-ng pulseaudio parecord sox; do
  command -v "$tool" >/dev/null || { echo "SKIP: no $tool (bash scripts/setup.sh installs it)"; exit 77; }
done

source "$(dirname "$0")/xvfb_window.sh"
run_in_xvfb "$@"

source "$(dirname "$0")/own_services.sh"
work=$(mktemp -d)
pid="" recorder=""
cleanup() {
  [ -n "$pid" ] && kill -9 "$pid" 2>/dev/null || true
  [ -n "$recorder" ] && kill "$recorder" 2>/dev/null || true
  remove_services_work "$work"
}
trap cleanup EXIT

start_sound_server "$work" voice || fail "the sound server did not start"
start_speech_service "$work" 5 || fail "the speech service did not start"

parecord -d voice.monitor --file-format=wav "$work/heard.wav" &
recorder=$!

XDG_CONFIG_HOME=$work/home/.config XDG_DATA_HOME=$work/home/.local/share \
  "$player" --zoom 1 --no-music "$game" 2>"$work/player.err" &
pid=$!
win=$(window_id "^VORN Interpeter$") || fail "the window did not appear"
sleep 1
xdotool windowfocus --sync "$win" 2>/dev/null || true
log=$work/logs/speech-dispatcher.log
# sent LINE SECONDS: waits until the service's log shows LINE as sent to it.
sent() {
  for _ in $(seq $(($2 * 10))); do
    grep -q "DATA:|$1" "$log" && return 0
    sleep 0.1
  done
  return 1
}
# The first use asks the service for its voices, which takes espeak-ng's
# thousands of variants some seconds to list.
xdotool key --window "$win" v
sent 'THE LANTERN ROAD' 60 || fail "the first page was not sent to the speech service"
sleep 3
xdotool key --window "$win" Return
sent 'Dusk. A traveller' 10 || fail "the second page was not sent after Enter"
sleep 3
kill "$recorder"
wait "$recorder" 2>/dev/null || true
recorder=""

grep -q 'SET SELF LANGUAGE ja' "$log" || fail "no Japanese voice was asked for the demo's Japanese page"
grep -q '"selfVoicing": *true' "$work/home/.config/vorn/settings.json" || fail "the setting did not keep self-voicing on"
if grep -q 'Speech is not available' "$work/player.err"; then fail "the player found no speech"; fi
rms=$(sox "$work/heard.wav" -n stat 2>&1 | sed -n 's/^RMS *amplitude: *//p')
echo "heard: RMS amplitude $rms over $(sox "$work/heard.wav" -n stat 2>&1 | sed -n 's/^Length (seconds): *//p') s"
awk -v r="$rms" 'BEGIN { exit !(r > 0.005) }' || fail "the speech was not heard (RMS $rms)"

kill -TERM $pid
status=0
wait $pid || status=$?
pid=""
[ "$status" -eq 0 ] || fail "SIGTERM ended the speaking player with status $status"

# With no speech service to reach, the reader is told once and plays on: the
# setting kept it on, so the player tries at its start.
SPEECHD_ADDRESS=unix_socket:$work/run/none.sock XDG_CONFIG_HOME=$work/home/.config \
  XDG_DATA_HOME=$work/home/.local/share "$player" --zoom 1 --no-music "$game" 2>"$work/silent.err" &
pid=$!
win=$(window_id "^VORN Interpeter$") || fail "the window did not appear without a speech service"
for _ in $(seq 100); do grep -q 'Speech is not available' "$work/silent.err" && break; sleep 0.1; done
grep -q 'Speech is not available' "$work/silent.err" || fail "the reader was not told that speech is not available"
xdotool key --window "$win" Return r Return
sleep 1
[ "$(grep -c 'Speech is not available' "$work/silent.err")" -eq 1 ] || fail "told more than once"
kill -TERM $pid
status=0
wait $pid || status=$?
pid=""
[ "$status" -eq 0 ] || fail "SIGTERM ended the silent player with status $status"
echo "real window voicing: ok"
