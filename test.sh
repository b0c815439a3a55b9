#!/usr/bin/env bash
# Builds the release and debug (sanitizer) presets and runs all their tests, then gives the
# Package reader's fuzz target a short run from its seed corpus.
set -euo pipefail
cd "$(dirname "$0")"
for preset in release debug; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done

cmake --preset fuzz
cmake --build --preset fuzz
mkdir -p build/fuzz/corpus
build/fuzz/fuzz/read-package-fuzz -max_total_time=20 build/fuzz/corpus fuzz/corpus
