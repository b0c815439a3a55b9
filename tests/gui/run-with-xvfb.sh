#!/usr/bin/env bash
# Runs a command on a display of its own: starts Xvfb on a free display (1024x768x24, or
# XVFB_SCREEN), exports DISPLAY, runs the command and stops the server. The command's status
# is returned.
set -uo pipefail
if (($# == 0)); then
  echo "usage: $0 command [arguments...]" >&2
  exit 2
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/xvfb.XXXXXX") || exit 1
Xvfb -displayfd 3 -screen 0 "${XVFB_SCREEN:-1024x768x24}" -nolisten tcp -noreset 3>"$work/display" 2>"$work/log" &
server=$!
stop() {
  kill "$server" 2>/dev/null && wait "$server" 2>/dev/null
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM
for _ in $(seq 200); do
  [[ -s "$work/display" ]] && break
  if ! kill -0 "$server" 2>/dev/null; then
    echo "Xvfb did not start:" >&2
    cat "$work/log" >&2
    exit 1
  fi
  sleep 0.05
done
if [[ ! -s "$work/display" ]]; then
  echo "Xvfb gave no display number in time" >&2
  exit 1
fi
export DISPLAY=":$(head -n1 "$work/display")"
"$@"
