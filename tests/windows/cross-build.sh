#!/usr/bin/env bash
# Configures and builds the 32-bit Windows tree (the windows-i686 preset with its test programs).
#   cross-build.sh BUILD-DIR TARGET...
set -euo pipefail
root=$(cd "$(dirname "$0")/../.." && pwd)
build=$1
shift
(cd "$root" && cmake --preset windows-i686 -B "$build" -DSLIDESAVER_TESTS=ON >/dev/null)
cmake --build "$build" -j2 --target "$@"
