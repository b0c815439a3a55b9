#!/usr/bin/env bash
# What presenting costs the player against drawing, per frame of each of the 35 transitions at
# 1920 x 1080, in the Linux show window on an Xvfb display of that size (see present_bench.cpp).
#   bench/present_cost.sh [--wayland] [build-dir] [benchmark options...]  (default: build/release)
# With --wayland, WaylandPresent/<n>: the Wayland show window on a headless sway of that size.
set -euo pipefail
wayland=no
if [[ ${1:-} == --wayland ]]; then
  wayland=yes
  shift
fi
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
shift || true
cmake --build "$build" -j2 --target slidesaver-bench >/dev/null
uptime
if [[ $wayland == yes ]]; then
  exec "$root/tests/gui/wayland/run-with-sway.sh" --size 1920x1080 -- env SDL_AUDIODRIVER=dummy \
    "$build/bench/slidesaver-bench" --benchmark_filter='^WaylandPresent/' "$@"
fi
XVFB_SCREEN=1920x1080x24 SDL_AUDIODRIVER=dummy "$root/tests/gui/run-with-xvfb.sh" \
  "$build/bench/slidesaver-bench" --benchmark_filter='^Present/' "$@"
