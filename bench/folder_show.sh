#!/usr/bin/env bash
# The player's --folder with 48 camera pictures (4000 x 3000 JPEG) on a 1920x1080 screen under
# Xvfb: its peak resident memory after a round of them (a picture every second, random
# transitions), then its wakeups and processor use while a slide stays (20 s a slide).
#   bench/folder_show.sh [build-dir]        (default: build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
cmake --build "$build" -j2 --target slidesaver >/dev/null

folder_work=$(mktemp -d "${TMPDIR:-/tmp}/folder-show.XXXXXX")
trap 'rm -rf "$folder_work"' EXIT
mkdir -m 700 "$folder_work/run" "$folder_work/photos"
# Four photo-like pictures, each under twelve names: the player reads and prepares every file.
for n in 1 2 3 4; do
  convert -size 4000x3000 "gradient:#${n}0${n}040-#e0c0${n}0" -attenuate 0.4 \
    +noise Gaussian -quality 90 "$folder_work/photos/photo-$n.jpg"
  for copy in $(seq 2 12); do
    cp "$folder_work/photos/photo-$n.jpg" "$folder_work/photos/photo-$n-$copy.jpg"
  done
done

measure() {
  export XDG_RUNTIME_DIR="$folder_work/run" XDG_CONFIG_HOME="$folder_work/config"
  export SDL_AUDIODRIVER=dummy
  "$build/slidesaver" --folder "$folder_work/photos" --time 1000 /S &
  local pid=$!
  sleep 60
  kill -0 "$pid" || { echo "the player ended early" >&2; return 1; }
  echo "a round of 48 pictures: peak resident $(awk '/VmHWM/ {printf "%.1f MiB", $2 / 1024}' \
    "/proc/$pid/status")"
  kill -TERM "$pid"
  wait "$pid" || true
  "$build/slidesaver" --folder "$folder_work/photos" --time 20000 /S &
  pid=$!
  sleep 4  # set-up, the first picture and the next one prepared
  python3 "$root/bench/show_idle_sample.py" "$pid" 12 "folder, a slide staying"
  kill -TERM "$pid"
  wait "$pid" || true
}
export folder_work build root
export -f measure
uptime
XVFB_SCREEN=1920x1080x24 "$root/tests/gui/run-with-xvfb.sh" bash -c measure
