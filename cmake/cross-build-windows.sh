#!/usr/bin/env bash
# Configures and builds a 32-bit Windows tree (the windows-i686 preset with its test programs):
# the release build makes the player with it, the Wine tests their programs in the same tree.
#   cross-build-windows.sh BUILD-DIR TARGET...
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$1
shift
# A tree configured with another compiler (the posix thread model of older checkouts) starts
# afresh; a tree configured already reconfigures itself as it builds, when it must.
cache="$build/CMakeCache.txt"
if [[ ! -f $cache ]] || ! grep -q '^CMAKE_CXX_COMPILER:[A-Z]*=.*-win32$' "$cache" ||
  ! grep -q '^SLIDESAVER_TESTS:BOOL=ON$' "$cache"; then
  fresh=()
  [[ -f $cache ]] && fresh=(--fresh)
  (cd "$root" && cmake "${fresh[@]}" --preset windows-i686 -B "$build" -DSLIDESAVER_TESTS=ON >/dev/null)
fi
cmake --build "$build" -j2 --target "$@"
