#!/usr/bin/env bash
# What a large show costs in memory: the peak resident memory of slidepack building a show of
# about 360 MB (50 pictures of 7 MB), of slidepack unpacking it, and of the player extracting it
# and showing its first slide under Xvfb (1920x1080 show area, pictures of 2000x1500).
#   bench/show_memory.sh [build-dir]        (default: build/release)
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
cmake --build "$build" -j2 --target slidesaver slidepack >/dev/null

memory_work=$(mktemp -d "${TMPDIR:-/tmp}/show-memory.XXXXXX")
trap 'rm -rf "$memory_work"' EXIT
mkdir -m 700 "$memory_work/run"
{
  echo 'width = 1920'
  echo 'height = 1080'
  echo 'fit = "none"'
} >"$memory_work/show.toml"
for p in 1 2 3 4 5; do
  convert -size 2000x1500 xc: +noise Random -seed "$p" -quality 98 "$memory_work/noise$p.jpg"
  for n in 0 1 2 3 4 5 6 7 8 9; do
    printf '\n[[slide]]\npicture = "noise%s.jpg"\nname = "%s-%s.jpg"\ntime = 600000\n' \
      "$p" "$p" "$n" >>"$memory_work/show.toml"
  done
done

peak() { /usr/bin/time -f '%M' "$@" 2>&1 >/dev/null | tail -1; }
build_kib=$(peak "$build/slidepack" build "$memory_work/show.toml" -o "$memory_work/show.scr" \
  --player "$build/slidesaver")
unpack_kib=$(peak "$build/slidepack" unpack "$memory_work/show.scr" "$memory_work/unpacked")
show_mib=$(($(stat -c %s "$memory_work/show.scr") / 1048576))

measure() {
  export XDG_RUNTIME_DIR="$memory_work/run" SDL_AUDIODRIVER=dummy
  "$memory_work/show.scr" /S &
  local pid=$! i
  # The extraction is done once its 50 files are there; then the first slide is drawn.
  for ((i = 0; i < 600; i++)); do
    [[ $(find "$memory_work/run/slidesaver" -mindepth 2 -type f 2>/dev/null | wc -l) -ge 50 ]] && break
    sleep 0.1
  done
  sleep 3
  kill -0 "$pid" || { echo "the player ended early" >&2; return 1; }
  awk '/VmHWM|VmRSS/ {printf "player %s %.1f MiB\n", $1, $2 / 1024}' "/proc/$pid/status"
  kill -TERM "$pid"
  wait "$pid" || true
}
export memory_work
export -f measure
echo "show file: $show_mib MiB, 50 pictures of 2000x1500, show area 1920x1080"
awk -v k="$build_kib" 'BEGIN {printf "slidepack build: peak %.1f MiB\n", k / 1024}'
awk -v k="$unpack_kib" 'BEGIN {printf "slidepack unpack: peak %.1f MiB\n", k / 1024}'
"$root/tests/gui/run-with-xvfb.sh" bash -c measure
echo "(the player's peak holds its three 1920x1080 surfaces, 23.7 MiB, and one decoded"
echo " 2000x1500 picture, 11.4 MiB, with the decoder's own copy of it, 8.6 MiB)"
