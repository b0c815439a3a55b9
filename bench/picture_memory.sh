#!/usr/bin/env bash
# What the largest picture the player decodes costs: the player's peak resident memory while it
# shows one 8192 x 8192 picture of each format again and again (a one-slide show of 1 s slides,
# 800 x 600), and how long SIGTERM takes to end it in the middle of a slow decoding (a
# progressive JPEG of 8192 x 8192 in 450 scans, within every bound). Runs under Xvfb:
#   tests/gui/run-with-xvfb.sh bench/picture_memory.sh [build-dir]   (default: build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
work=$(mktemp -d "${TMPDIR:-/tmp}/picture-memory.XXXXXX")
trap 'rm -rf "$work"' EXIT
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy

convert -size 8192x8192 gradient:red-blue -quality 90 "$work/baseline.jpg"
convert "$work/baseline.jpg" -interlace JPEG "$work/progressive.jpg"
convert "$work/baseline.jpg" png24:"$work/picture.png"
convert "$work/baseline.jpg" -type TrueColor bmp3:"$work/picture.bmp"
convert "$work/baseline.jpg" -compress none "$work/picture.tif"
convert "$work/baseline.jpg" -quality 80 "$work/picture.webp"
convert -size 8192x8192 xc:red "$work/picture.gif"
g++ -std=c++20 -O2 -I"$root" -x c++ - -o "$work/slow-jpeg" <<'EOF'
#include <cstdio>
#include "tests/jpeg_test_files.h"
int main(int, char** argv) {
  const auto b = slidesaver::testing::ProgressiveGreyJpeg(8192, 8192, 450);
  FILE* f = std::fopen(argv[1], "wb");
  std::fwrite(b.data(), 1, b.size(), f);
  return std::fclose(f);
}
EOF
"$work/slow-jpeg" "$work/slow.jpg"

# A show of the one picture; its file's name.
show_of() {
  printf 'width = 800\nheight = 600\nfit = "none"\n[[slide]]\npicture = "%s"\ntime = 1000\n' \
    "$1" >"$work/show.toml"
  "$build/slidepack" build "$work/show.toml" -o "$work/show.scr" --player "$build/slidesaver" \
    --linux-only >/dev/null
  echo "$work/show.scr"
}

# Plays the show for `seconds`, then SIGTERM: "peak-KiB seconds-from-SIGTERM-to-the-end".
play() {
  local show=$1 seconds=$2
  /usr/bin/time -f '%M' -o "$work/peak" "$show" /S &
  local pid=$!
  sleep "$seconds"
  local player
  player=$(pgrep -P "$pid" || echo "$pid")
  local sent
  sent=$(date +%s.%N)
  kill -TERM "$player"
  wait "$pid" || true
  echo "$(tail -1 "$work/peak") $(echo "$(date +%s.%N) - $sent" | bc)"
}

for picture in baseline.jpg progressive.jpg picture.png picture.gif picture.bmp picture.tif \
  picture.webp; do
  read -r kib _ < <(play "$(show_of "$picture")" 30)
  printf '%-16s peak %4d MiB\n' "$picture" $((kib / 1024))
done
read -r kib latency < <(play "$(show_of slow.jpg)" 4)
printf 'SIGTERM during the decoding of slow.jpg: the player ended %.2f s later (peak %d MiB)\n' \
  "$latency" $((kib / 1024))
