#!/usr/bin/env bash
# Builds the release and debug (sanitizer) presets and runs all their tests, then gives the
# fuzz targets (the Package reader, the picture loaders, the sound and music loaders) a short run
# each from their seeds.
set -euo pipefail
cd "$(dirname "$0")"
for preset in release debug; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

cmake --preset fuzz
cmake --build --preset fuzz
mkdir -p build/fuzz/corpus build/fuzz/picture-corpus build/fuzz/sound-corpus
build/fuzz/fuzz/read-package-fuzz -max_total_time=20 build/fuzz/corpus fuzz/corpus
build/fuzz/fuzz/picture-fuzz -max_total_time=20 -rss_limit_mb=2048 build/fuzz/picture-corpus \
  fuzz/picture-corpus 2> >(grep -v '^libpng warning' >&2)
build/fuzz/fuzz/sound-fuzz -max_total_time=20 -rss_limit_mb=2048 build/fuzz/sound-corpus \
  fuzz/sound-corpus
