#!/usr/bin/env bash
# run-with-sway.sh gives its command a sway of its own: two outputs side by side, the command's
# environment (no X display, a private runtime folder), screenshots of the whole layout, a
# virtual pointer that moves and clicks; and afterwards, the sway it started is gone.
#   harness_smoke_test.sh VIRTUAL-POINTER-PROGRAM
set -euo pipefail
here=$(dirname "$(realpath "$0")")
pointer=$(realpath "$1")
out=$(mktemp -d "${TMPDIR:-/tmp}/sway-smoke.XXXXXX")
trap 'rm -rf "$out"' EXIT
chmod 777 "$out"
DISPLAY=:99 "$here/run-with-sway.sh" --outputs 2 --size 320x200 -- sh -c '
  set -e
  [ -z "${DISPLAY:-}" ] || { echo "DISPLAY is set: $DISPLAY"; exit 1; }
  [ "$(stat -c %a:%u "$XDG_RUNTIME_DIR")" = "700:$(id -u)" ] || { echo "runtime folder not private"; exit 1; }
  [ -S "$XDG_RUNTIME_DIR/$WAYLAND_DISPLAY" ] || { echo "no Wayland socket"; exit 1; }
  grim -t ppm - | head -c 15 | tr "\n" " " > "$2/screen"
  "$1" move 100 100 640 200 motion 5 5 click press 273 release 273
  sock=${SWAYSOCK##*/sway-ipc.*.}
  echo "${sock%.sock}" > "$2/sway-pid"
' sh "$pointer" "$out"
[[ $(cat "$out/screen") == "P6 640 200 255 " ]] || { echo "screenshot header: $(cat "$out/screen")"; exit 1; }
sway_pid=$(cat "$out/sway-pid")
! kill -0 "$sway_pid" 2>/dev/null || { echo "sway $sway_pid still runs"; exit 1; }
