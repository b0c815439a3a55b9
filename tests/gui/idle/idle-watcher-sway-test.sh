#!/usr/bin/env bash
# The idle watcher on a headless sway (run by run-with-sway.sh), told of idleness by the
# compositor (KDE's idle protocol, all sway 1.7 offers), with input from a virtual pointer:
#   2 s after the last input the show plays on Wayland (its picture on the screen), pointer
#   motion ends it and its extraction folder goes, 2 s later it plays again; a second watcher
#   for the compositor refuses to run (status 1); SIGTERM ends the watcher and its show.
#   idle-watcher-sway-test.sh BUILD-DIR
set -euo pipefail
build=$(realpath "$1")
: "${WAYLAND_DISPLAY:?no Wayland display}"
slow=1  # a sanitizer build starts and ends several times slower
grep -q '^SLIDESAVER_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && slow=3
source "$(dirname "$0")/watcher_steps.sh"
export SDL_AUDIODRIVER=dummy

work=$(mktemp -d "${TMPDIR:-/tmp}/idle-watcher-sway.XXXXXX")
watcher="" mouse=""
cleanup() {
  stop "$watcher"
  exec 3>&- 2>/dev/null || true
  stop "$mouse"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -f $work/watcher.log ]] && tail -n 20 "$work/watcher.log" >&2
  exit 1
}
extractions() { find "$XDG_RUNTIME_DIR/slidesaver" -mindepth 1 -maxdepth 1 -type d -name 'temp*'; }

# A show of one 400 x 300 gradient for a minute.
convert -size 400x300 -depth 8 gradient:red-blue "$work/picture.png"
printf 'width = 400\nheight = 300\nbackground = "#000000"\n[[slide]]\npicture = "picture.png"\ntime = 60000\n' \
  >"$work/show.toml"
"$build/slidepack" build --linux-only "$work/show.toml" -o "$work/show.scr" >/dev/null

# A pointer plugged in before the watcher starts, as a mouse is.
mkfifo "$work/mouse"
"$build/tests/gui/wayland/virtual-pointer" - <"$work/mouse" &
mouse=$!
exec 3>"$work/mouse"
echo "move 600 400 1024 768" >&3
move_pointer() { echo "motion 3 0" >&3; }
source "$(dirname "$0")/../wayland/sway_picture.sh"
await_visible() { await_centred_picture; }

"$build/slidesaver" --idle 2 --show "$work/show.scr" 2>"$work/watcher.log" &
watcher=$!
for _ in $(seq 100); do
  compgen -G "$XDG_RUNTIME_DIR/slidesaver/idle-wayland*.lock" >/dev/null && break
  sleep 0.05
done
second_watcher_refused "$build/slidesaver" "wayland:$WAYLAND_DISPLAY"
two_idle_shows
terminate_watcher
