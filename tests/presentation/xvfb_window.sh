# Sourced by the tests that drive the player's real window under Xvfb.

# Runs the calling script again inside an X server of its own, once. The
# server never resets: a reset when the last client leaves (a player just
# closed) refuses the next player that connects during it.
run_in_xvfb() {
  if [ -z "${VORN_IN_XVFB:-}" ]; then
    exec env VORN_IN_XVFB=1 xvfb-run -a -s "-screen 0 1280x1024x24 -noreset" bash "$0" "$@"
  fi
}

fail() { echo "FAIL: $*"; exit 1; }

# window_id [--onlyvisible] PATTERN [SECONDS]: prints the id of the first
# window whose name matches PATTERN (with --onlyvisible: the first shown one),
# waiting up to SECONDS (10 by default); fails when none appears in that time.
window_id() {
  local only=() id
  if [ "$1" = --onlyvisible ]; then only=(--onlyvisible); shift; fi
  for _ in $(seq $((${2:-10} * 10))); do
    id=$(xdotool search "${only[@]}" --name "$1" 2>/dev/null | head -n 1 || true)
    [ -n "$id" ] && { echo "$id"; return 0; }
    sleep 0.1
  done
  return 1
}

# Waits for the player started as $pid to end by itself (20 s at most); its
# exit status.
ended() {
  for _ in $(seq 200); do
    kill -0 $pid 2>/dev/null || break
    sleep 0.1
  done
  local status=0
  wait $pid || status=$?
  pid=""
  return $status
}

# Screenshots of the window $win, into the folder $shots: shot NAME takes one
# once the window has stopped changing; differing A B counts the pixels that
# differ between two taken.
shot() {
  import -window "$win" "$shots/$1.png"
  for _ in $(seq 20); do
    sleep 0.3
    import -window "$win" "$shots/$1.next.png"
    if [ "$(compare -metric AE "$shots/$1.png" "$shots/$1.next.png" null: 2>&1 || true)" = "0" ]; then
      rm -f "$shots/$1.next.png"
      return 0
    fi
    mv "$shots/$1.next.png" "$shots/$1.png"
  done
}
differing() { compare -metric AE "$shots/$1.png" "$shots/$2.png" null: 2>&1 || true; }
