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
# 4:2:0: the coefficients of 4:4:4 at this size (384 MiB) are more than the player gives.
convert "$work/baseline.jpg" -interlace JPEG -sampling-factor 2x2 "$work/progressive.jpg"
convert "$work/baseline.jpg" png24:"$work/picture.png"
convert "$work/baseline.jpg" -type TrueColor bmp3:"$work/picture.bmp"
convert "$work/baseline.jpg" -compress none "$work/picture.tif"
convert "$work/baseline.jpg" -quality 80 "$work/picture.webp"
# ImageMagick's limits refuse a GIF this large: it is written here (every pixel a clear code and
# a literal: a red and a blue half), and the slow JPEG.
g++ -std=c++20 -O2 -I"$root" -x c++ - -o "$work/make-pictures" <<'EOF'
#include <algorithm>
#include <cstdio>
#include "tests/jpeg_test_files.h"
void Write(const char* path, const std::vector<uint8_t>& b) {
  FILE* f = std::fopen(path, "wb");
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
}
int main(int, char** argv) {
  Write(argv[1], slidesaver::testing::ProgressiveGreyJpeg(8192, 8192, 450));
  std::vector<uint8_t> gif = {'G', 'I', 'F', '8', '9', 'a', 0, 32, 0, 32, 0x80, 0, 0,
                              255, 0, 0, 0, 0, 255, 0x2C, 0, 0, 0, 0, 0, 32, 0, 32, 0, 2};
  std::vector<uint8_t> data;
  uint32_t bits = 0, held = 0;
  auto put = [&](uint32_t code) {
    bits |= code << held;
    for (held += 3; held >= 8; held -= 8, bits >>= 8) data.push_back(uint8_t(bits));
  };
  for (int64_t i = 0; i < int64_t{8192} * 8192; ++i) {
    put(4);
    put(i < int64_t{8192} * 4096 ? 0 : 1);
  }
  put(5);
  if (held > 0) data.push_back(uint8_t(bits));
  for (size_t at = 0; at < data.size(); at += 255) {
    const size_t n = std::min<size_t>(255, data.size() - at);
    gif.push_back(uint8_t(n));
    gif.insert(gif.end(), data.begin() + at, data.begin() + at + n);
  }
  gif.insert(gif.end(), {0, 0x3B});
  Write(argv[2], gif);
}
EOF
"$work/make-pictures" "$work/slow.jpg" "$work/picture.gif"

# A show of the one picture; its file's name.
show_of() {
  rm -f "$work/show.scr"
  printf 'width = 800\nheight = 600\nfit = "none"\n[[slide]]\npicture = "%s"\ntime = 1000\n' \
    "$1" >"$work/show.toml"
  "$build/slidepack" build "$work/show.toml" -o "$work/show.scr" --player "$build/slidesaver" \
    --linux-only >/dev/null && echo "$work/show.scr"
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
  show=$(show_of "$picture") || exit 1
  read -r kib _ < <(play "$show" 30)
  printf '%-16s peak %4d MiB\n' "$picture" $((kib / 1024))
done
show=$(show_of slow.jpg) || exit 1
read -r kib latency < <(play "$show" 4)
printf 'SIGTERM during the decoding of slow.jpg: the player ended %.2f s later (peak %d MiB)\n' \
  "$latency" $((kib / 1024))
