#!/usr/bin/env bash
# Configures and builds the 32-bit Windows tree (the windows-i686 preset with its test programs).
#   cross-build.sh BUILD-DIR TARGET...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
shift
# A tree configured with another compiler (the posix thread model of older checkouts) starts afresh.
fresh=()
cache="$build/CMakeCache.txt"
if [[ -f $cache ]] && ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*-win32$' "$cache"; then fresh=(--fresh); fi
(cd "$root" && cmake "${fresh[@]}" --preset windows-i686 -B "$build" -DSLIDESAVER_TESTS=ON >/dev/null)
cmake --build "$build" -j2 --target "$@"
