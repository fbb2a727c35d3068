#!/usr/bin/env bash
# What the music costs. The demo game plays in a real window under Xvfb, its
# music going to a PulseAudio server of this script's own with a null sink,
# beside the same game with --no-music and beside the synthesis alone of the
# same music (offline, no audio output). Prints, side by side from one run:
#   - resident memory: the peak while the game starts and while the music
#     changes (the reader clicks on to the second piece), and the steady size
#     after each, above the game without music;
#   - CPU while the first piece plays, against its synthesis alone, and the
#     worst 10 s of playing, the start included, thread by thread;
#   - the milliseconds from a music command to its first sound at the sink:
#     the first music with the device set up from nothing, as the window does
#     it, a change of music once it is up, and the player from its start; and
#     from a stop (Close) to the last sound heard;
#   - the silences heard at the loop point of a short tune.
# With a BASELINE_BUILD_DIR, that build's player (another branch, say) plays
# in the same turns, and its worst 10 s are shown beside this one's.
# Usage: bench/music_cost.sh [BUILD_DIR] [SECONDS] [RUNS] [BASELINE_BUILD_DIR]   (defaults: build, 20, 3)
set -euo pipefail
cd "$(dirname "$0")/.."
build=${1:-build} seconds=${2:-20} runs=${3:-3} baseline=${4:-}
player=$build/vorn probe=$build/bench/music_probe
[ -x "$probe" ] || { echo "build the benchmarks first: cmake -B $build -DVORN_BUILD_BENCH=ON && cmake --build $build"; exit 2; }
command -v pulseaudio >/dev/null || { echo "needs pulseaudio: bash scripts/setup.sh"; exit 2; }
if [ -z "${VORN_IN_XVFB:-}" ]; then
  exec env VORN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$@"
fi

source tests/presentation/own_services.sh
work=$(mktemp -d)
pid=""
cleanup() {
  [ -n "$pid" ] && kill "$pid" 2>/dev/null || true
  remove_services_work "$work"
}
trap cleanup EXIT
start_sound_server "$work" bench || { echo "the sound server did not start"; exit 1; }
cp -r examples/demo "$work/game"
# The players get homes of their own: what one run keeps (the list of games,
# the place kept at a close) must not change what the next one does, nor
# touch the user's own.
fresh_home() {
  local home
  home=$(mktemp -d -p "$work" home.XXXXXX)
  export HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local/share
}
fresh_home

median() { sort -n | awk '{ a[NR] = $1 } END { print a[int((NR + 1) / 2)] }'; }
rss() { awk '/^VmRSS:/ { print $2 }' "/proc/$pid/status"; }
ticks() { awk '{ print $14 + $15 }' "/proc/$pid/stat"; }
# The highest resident size over SECONDS, sampled every 20 ms.
peak() {
  local most=0 kb
  for _ in $(seq "$(awk -v s="$1" 'BEGIN { print int(s * 50) }')"); do
    kb=$(rss); [ "$kb" -gt "$most" ] && most=$kb
    sleep 0.02
  done
  echo "$most"
}
hz=$(getconf CLK_TCK)

# Every second while the player runs: the seconds since the machine started,
# then the CPU ticks of the whole process (ended threads included) and of
# each thread alive, one line each: "T process TICKS", "T TID NAME TICKS".
sample_threads() {
  local target=$1 out=$2
  while [ -d "/proc/$target" ] && [ ! -e "$out.stop" ]; do
    awk -v now="$(cut -d' ' -f1 /proc/uptime)" -v pid="$target" '
      { lp = index($0, "("); rp = 0
        for (i = length($0); i > lp; --i) if (substr($0, i, 1) == ")") { rp = i; break }
        name = substr($0, lp + 1, rp - lp - 1); gsub(/ /, "_", name)
        split(substr($0, rp + 2), f, " ")
        ticks = f[12] + f[13]
        if (FNR == 1 && FILENAME ~ /^\/proc\/[0-9]+\/stat$/) print now, "process", ticks
        else { tid = FILENAME; sub(/\/stat$/, "", tid); sub(/.*\//, "", tid)
               print now, tid, (tid == pid ? "main" : name), ticks } }' \
      "/proc/$target/stat" "/proc/$target"/task/*/stat 2>/dev/null >>"$out" || true
    sleep 1
  done
}

# The worst 10 s of the samples: "PERCENT START" and, on the lines after it,
# "NAME PERCENT" for each thread that used any CPU in that window.
worst_window() {
  awk -v hz="$hz" '
    $2 == "process" { n++; t[n] = $1; total[n] = $3; next }
    { key = $2 " " $3; seen[key] = 1; at[n, key] = $4 }
    END {
      if (n < 2) { print "0 0"; exit }
      best = -1
      for (i = 1; i < n; ++i) {
        for (j = i + 1; j <= n && t[j] - t[i] < 10; ++j) ;
        if (j > n) { if (i > 1) break; j = n } # a shorter run is one window
        span = t[j] - t[i]; if (span <= 0) continue
        pct = 100 * (total[j] - total[i]) / hz / span
        if (pct > best) { best = pct; bi = i; bj = j }
      }
      span = t[bj] - t[bi]
      printf "%.2f %.1f\n", best, t[bi] - t[1]
      rest = total[bj] - total[bi]
      for (key in seen) {
        d = at[bj, key] - at[bi, key]
        if (!((bj, key) in at)) d = 0 # ended within the window: counted below
        rest -= d
        split(key, k, " ")
        if (d > 0) printf "%s %.2f\n", k[2], 100 * d / hz / span
      }
      if (rest > 0) printf "ended-threads %.2f\n", 100 * rest / hz / span
    }' "$1"
}

# One run of the game: start-up peak, steady size, CPU over SECONDS while the
# first piece plays, then clicks on to the second piece: its peak and steady size.
play() {
  fresh_home
  local samples
  samples=$(mktemp -p "$work" threads.XXXXXX)
  "$player" --zoom 1 "$@" "$work/game" 2>/dev/null &
  pid=$!
  sample_threads "$pid" "$samples" &
  local sampler=$!
  local start_peak steady t0 t1 win change_peak after
  start_peak=$(peak 4)
  steady=$(rss)
  t0=$(ticks); sleep "$seconds"; t1=$(ticks)
  touch "$samples.stop"; wait "$sampler" || true
  worst_window "$samples" >"$samples.worst"
  win=$(xdotool search --name "^VORN Interpeter$" | head -n 1)
  xdotool windowfocus "$win" 2>/dev/null || true
  for _ in 1 2 3 4 5; do xdotool mousemove --window "$win" 300 370 click 1; sleep 0.3; done
  xdotool key --window "$win" 1; sleep 0.3 # the first option; the next page brings the second piece
  xdotool mousemove --window "$win" 300 370 click 1 &
  change_peak=$(peak 3)
  wait $! || true
  after=$(rss)
  kill -TERM "$pid"; wait "$pid" || true; pid=""
  echo "$start_peak $steady $(awk -v a="$t0" -v b="$t1" -v s="$seconds" -v hz="$hz" 'BEGIN { printf "%.3f", 100 * (b - a) / hz / s }') $change_peak $after $samples.worst"
}

echo "music cost: demo game, zoom 1, $runs runs of each, medians; soundfont: $(readlink -f /usr/share/sounds/sf2/default-GM.sf2 2>/dev/null || echo default)"
declare -a quiet=() loud=() synth=() before=()
for r in $(seq "$runs"); do
  quiet+=("$(play --no-music)")
  loud+=("$(play)")
  [ -z "$baseline" ] || before+=("$(player=$baseline/vorn; play)")
  synth+=("$("$probe" synthesis "$work/game/theme.mid" "$seconds")")
done
column() { local n=$1; shift; printf '%s\n' "$@" | awk -v n="$n" '{ print $n }' | median; }
q_start=$(column 1 "${quiet[@]}") q_steady=$(column 2 "${quiet[@]}") q_cpu=$(column 3 "${quiet[@]}")
q_change=$(column 4 "${quiet[@]}") q_after=$(column 5 "${quiet[@]}")
m_start=$(column 1 "${loud[@]}") m_steady=$(column 2 "${loud[@]}") m_cpu=$(column 3 "${loud[@]}")
m_change=$(column 4 "${loud[@]}") m_after=$(column 5 "${loud[@]}")
s_cpu=$(printf '%s\n' "${synth[@]}" | median)
mb() { awk -v k="$1" 'BEGIN { printf "%.1f MB", k / 1024 }'; }
above() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%+.1f MB", (a - b) / 1024 }'; }
printf '%-34s %12s %12s %12s  %s\n' "" "no music" "music" "above" "target"
printf '%-34s %12s %12s %12s  %s\n' "peak resident, start-up" "$(mb "$q_start")" "$(mb "$m_start")" "$(above "$m_start" "$q_start")" "at most +40 MB"
printf '%-34s %12s %12s %12s  %s\n' "steady resident, first piece" "$(mb "$q_steady")" "$(mb "$m_steady")" "$(above "$m_steady" "$q_steady")" "at most +30 MB"
printf '%-34s %12s %12s %12s  %s\n' "peak resident, change of music" "$(mb "$q_change")" "$(mb "$m_change")" "$(above "$m_change" "$q_change")" "at most +40 MB"
printf '%-34s %12s %12s %12s  %s\n' "steady resident, second piece" "$(mb "$q_after")" "$(mb "$m_after")" "$(above "$m_after" "$q_after")" "at most +30 MB"
awk -v p="$m_cpu" -v s="$s_cpu" -v q="$q_cpu" 'BEGIN {
  printf "CPU while the first piece plays: player %.2f %% of a core (without music %.2f %%), synthesis alone %.2f %%: ratio %.1f (target: at most 3)\n", p, q, s, p / s }'
# The worst 10 s of each run with music, the start included, thread by thread.
worst_windows() { # NAME RUN_LINES...
  local name=$1 r=0 file worst=()
  shift
  for line in "$@"; do
    r=$((r + 1))
    file=$(printf '%s\n' "$line" | awk '{ print $6 }')
    worst+=("$(head -n 1 "$file" | awk '{ print $1 }')")
    awk -v r="$r" -v s="$s_cpu" -v n="$name" 'NR == 1 { printf "%s, worst 10 s of playing, run %s: %.2f %% of a core from %.0f s after the start (%.1f times synthesis):", n, r, $1, $2, $1 / s; next }
      { printf " %s %.2f %%", $1, $2 } END { print "" }' "$file"
  done
  awk -v w="$(printf '%s\n' "${worst[@]}" | median)" -v s="$s_cpu" -v n="$name" 'BEGIN {
    printf "%s, worst 10 s of playing, the start included: %.2f %% of a core, synthesis alone %.2f %%: ratio %.1f (target: at most 2.5)\n", n, w, s, w / s }'
}
worst_windows "$player" "${loud[@]}"
[ -z "$baseline" ] || worst_windows "$baseline/vorn" "${before[@]}"

declare -a first=() change=() stop=() launch=()
for r in $(seq "$runs"); do
  read -r f c s < <("$probe" start "$work/game" theme.mid night.mid)
  first+=("$f"); change+=("$c"); stop+=("$s")
  launch+=("$("$probe" launch "$player" --zoom 1 "$work/game" 2>/dev/null)")
done
echo "silences at the loop point through the sound server: $("$probe" loop "$work/loop" 8)"
echo "first sound: first music of a game, device set up from nothing $(printf '%s\n' "${first[@]}" | median) ms;" \
     "change of music $(printf '%s\n' "${change[@]}" | median) ms (target: at most 150 ms);" \
     "a stop to its last sound $(printf '%s\n' "${stop[@]}" | median) ms;" \
     "player started to its first sound $(printf '%s\n' "${launch[@]}" | median) ms"
