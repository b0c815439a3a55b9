#!/usr/bin/env bash
# Builds the release and debug (sanitizer) presets and runs all their tests.
set -euo pipefail
cd "$(dirname "$0")"
for preset in release debug; do
  cmake --preset "$preset"
  cmake --build --preset "$preset"
  ctest --preset "$preset"
done
