#!/usr/bin/env bash
# What a displayed slide costs: the player's CPU use while one slide stays on a 1024x768 screen
# under Xvfb, and how late the display wait ends against the real clock.
#   bench/show_idle.sh [build-dir]        (default: build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
cmake --build "$build" -j2 --target slidesaver show-wait-probe slidepack >/dev/null

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

measure() {
  export XDG_RUNTIME_DIR="$show_work/run" SDL_AUDIODRIVER=dummy
  "$show_work/show.scr" /S &
  local pid=$! hz ticks0 ticks1
  hz=$(getconf CLK_TCK)
  sleep 3  # set-up and the first picture
  kill -0 "$pid" || { echo "the player ended early" >&2; return 1; }
  ticks0=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  sleep 10
  ticks1=$(awk '{print $14 + $15}' "/proc/$pid/stat")
  kill -0 "$pid" || { echo "the player ended early" >&2; return 1; }
  kill -TERM "$pid"
  wait "$pid" || true
  awk -v d="$((ticks1 - ticks0))" -v hz="$hz" \
    'BEGIN {printf "player CPU while a slide is displayed (1024x768, 10 s): %.2f %% of one core\n", 100 * d / hz / 10}'
  "$build/tests/gui/show/show-wait-probe" 500
}
export show_work build
export -f measure
"$root/tests/gui/run-with-xvfb.sh" bash -c measure
