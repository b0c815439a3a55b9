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
export SDL_AUDIODRIVER=dummy

work=$(mktemp -d "${TMPDIR:-/tmp}/idle-watcher-sway.XXXXXX")
watcher="" mouse=""
stop() {  # pid: ends a process this test started, and waits for it
  if [[ -n $1 ]] && kill "$1" 2>/dev/null; then wait "$1" 2>/dev/null || true; fi
}
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
now_ms() { date +%s%3N; }

# A show of one 400 x 300 gradient for a minute.
convert -size 400x300 -depth 8 gradient:red-blue "$work/picture.png"
printf 'width = 400\nheight = 300\nbackground = "#000000"\n[[slide]]\npicture = "picture.png"\ntime = 60000\n' \
  >"$work/show.toml"
"$build/slidepack" build --linux-only "$work/show.toml" -o "$work/show.scr" >/dev/null

# A pointer plugged in before the watcher starts, as a mouse is; `point ACTION...` moves it.
mkfifo "$work/mouse"
"$build/tests/gui/wayland/virtual-pointer" - <"$work/mouse" &
mouse=$!
exec 3>"$work/mouse"
point() { echo "$*" >&3; }
point move 600 400 1024 768

show_of() { cat "/proc/$1/task/$1/children" 2>/dev/null | tr -d ' ' || true; }
extractions() { find "$XDG_RUNTIME_DIR/slidesaver" -mindepth 1 -maxdepth 1 -type d -name 'temp*'; }
await_show() {  # limit in ms; the show's pid in $show, its start in $started
  local since
  since=$(now_ms)
  show=""
  while [[ -z $show ]] && (($(now_ms) - since < $1)); do
    show=$(show_of "$watcher")
    kill -0 "$watcher" 2>/dev/null || fail "the watcher ended"
    [[ -n $show ]] || sleep 0.02
  done
  started=$(now_ms)
  [[ -n $show ]] || fail "no show within $(($1 / 1000)) s"
}
await_picture() {  # the picture centred on the 1024 x 768 output: at (312, 234)
  local since difference=""
  since=$(now_ms)
  while (($(now_ms) - since < 10000 * slow)); do
    kill -0 "$show" 2>/dev/null || fail "the show ended before its picture was shown"
    grim -t ppm "$work/screen.ppm" 2>/dev/null || true
    if [[ -s $work/screen.ppm ]]; then
      convert "$work/screen.ppm" -crop 400x300+312+234 +repage "$work/area.png"
      difference=$({ compare -metric AE "$work/area.png" "$work/picture.png" null: 2>&1 || true; })
      [[ $difference == 0 ]] && return 0
    fi
    sleep 0.1
  done
  fail "no picture on the screen within $((10 * slow)) s ($difference pixels differ)"
}

"$build/slidesaver" --idle 2 --show "$work/show.scr" 2>"$work/watcher.log" &
watcher=$!
for _ in $(seq 100); do
  compgen -G "$XDG_RUNTIME_DIR/slidesaver/idle-wayland*.lock" >/dev/null && break
  sleep 0.05
done
status=0
"$build/slidesaver" --idle 5 --show "$work/show.scr" 2>"$work/second.log" || status=$?
((status == 1)) || fail "a second watcher ended with status $status"
grep -q "already runs for display wayland:$WAYLAND_DISPLAY" "$work/second.log" ||
  fail "the second watcher said: $(cat "$work/second.log")"

point motion 5 0
input=$(now_ms)
await_show $((20000 * slow))
waited=$((started - input))
((waited >= 1800)) || fail "the show started $waited ms after the last input, before 2 s"
await_picture
[[ -n $(extractions) ]] || fail "no extraction folder while the show plays"
echo "idle 2 s: the show started $waited ms after the last input, its picture is on the screen"

first=$show
since=$(now_ms)
while kill -0 "$first" 2>/dev/null && [[ $(show_of "$watcher") == "$first" ]]; do
  (($(now_ms) - since < 15000 * slow)) || fail "pointer motion did not end the show"
  point motion 3 0
  input=$(now_ms)
  sleep 0.2
done
echo "pointer motion ended the show within $(($(now_ms) - since)) ms"
await_show $((20000 * slow))
[[ $show != "$first" ]] || fail "the first show did not end"
waited=$((started - input))
((waited >= 1800)) || fail "the next show started $waited ms after the last input, before 2 s"
echo "idle 2 s again: the next show started $waited ms after the last input"
await_picture

kill -TERM "$watcher"
status=0
wait "$watcher" || status=$?
watcher=""
((status == 0)) || fail "the watcher ended with status $status on SIGTERM"
[[ ! -e /proc/$show ]] || fail "the show $show outlived its watcher"
[[ -z $(extractions) ]] || fail "an extraction folder stayed: $(extractions)"
echo "SIGTERM: the watcher and its show ended, no extraction folder stayed"
