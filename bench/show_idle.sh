#!/usr/bin/env bash
# What a displayed slide costs: the player's CPU use while one slide stays on a 1024x768 screen
# under Xvfb, full screen (/S) and as a screen saver's program on the root window (--root) and
# in a 320x240 preview (--window-id, scaled), and how late the display wait ends against the
# real clock.
#   bench/show_idle.sh [build-dir]        (default: build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
cmake --build "$build" -j2 --target slidesaver show-wait-probe slidepack test-window >/dev/null

show_work=$(mktemp -d "${TMPDIR:-/tmp}/show-idle.XXXXXX")
trap 'rm -rf "$show_work"' EXIT
mkdir -m 700 "$show_work/run"
convert -size 1024x768 gradient:'#204080-#e0c060' "$show_work/picture.jpg"
cat >"$show_work/show.toml" <<TOML
width = 1024
height = 768
background = "#000000"

[[slide]]
picture = "picture.jpg"
time = 600000
TOML
"$build/slidepack" build "$show_work/show.toml" -o "$show_work/show.scr" \
  --player "$build/slidesaver" >/dev/null

# The player's CPU use over 10 s of one displayed slide, started with the given arguments.
cpu_of() {
  local label=$1 pid hz ticks0 ticks1 wakeups0 wakeups1
  shift
  "$show_work/show.scr" "$@" &
  pid=$!
  hz=$(getconf CLK_TCK)
  sleep 3  # set-up and the first picture
  kill -0 "$pid" || { echo "the player ended early" >&2; return 1; }
  ticks0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  wakeups0=$(wakeups "$pid")
  sleep 10
  ticks1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  wakeups1=$(wakeups "$pid")
  kill -0 "$pid" || { echo "the player ended early" >&2; return 1; }
  kill -TERM "$pid"
  wait "$pid" || true
  awk -v d="$((ticks1 - ticks0))" -v hz="$hz" -v label="$label" -v w="$((wakeups1 - wakeups0))" \
    'BEGIN {printf "player while a slide is displayed (%s, 10 s): %.2f %% of one core, %.1f wake-ups/s\n", label, 100 * d / hz / 10, w / 10}'
}

# Context switches of all the player's threads: each wake-up from a wait is one.
wakeups() {
  cat /proc/"$1"/task/*/status | awk '/ctxt_switches/ {n += $2} END {print n}'
}

measure() {
  export XDG_RUNTIME_DIR="$show_work/run" SDL_AUDIODRIVER=dummy
  cpu_of "/S, 1024x768" /S
  cpu_of "--root, 1024x768" --root
  coproc preview { "$build/tests/gui/saver/test-window" 320 240 0 0; }
  local window
  read -r -u "${preview[0]}" window
  cpu_of "--window-id, 320x240 scaled" --window-id "$window"
  exec {preview[1]}>&-
  "$build/tests/gui/show/show-wait-probe" 500
}
export show_work build
export -f measure cpu_of wakeups
"$root/tests/gui/run-with-xvfb.sh" bash -c measure
