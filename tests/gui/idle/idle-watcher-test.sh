#!/usr/bin/env bash
# The idle watcher (slidesaver --idle), installed into a temporary prefix, on a display of its
# own with input from xdotool:
#   2 s after the last input the installed demo plays full screen (its window appears), pointer
#   motion ends it and its extraction folder goes, 2 s later it plays again;
#   a second watcher on the display refuses to run (status 1);
#   SIGTERM ends the watcher and the show it plays, and no extraction folder stays;
#   while a real xscreensaver runs on the display the watcher starts no show, and once that has
#   gone it does again.
#   idle-watcher-test.sh BUILD-DIR        (on a display of its own: see run-with-xvfb.sh)
set -euo pipefail
build=$(realpath "$1")
: "${DISPLAY:?no display}"
slow=1  # a sanitizer build starts and ends several times slower
grep -q '^SLIDESAVER_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && slow=3

work=$(mktemp -d "${TMPDIR:-/tmp}/idle-watcher-test.XXXXXX")
watcher="" saver=""
stop() {  # pid: ends a process this test started, and waits for it
  if [[ -n $1 ]] && kill "$1" 2>/dev/null; then wait "$1" 2>/dev/null || true; fi
}
cleanup() {
  stop "$watcher"
  stop "$saver"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.log; do [[ -f $log ]] && tail -n 20 "$log" >&2; done
  exit 1
}
now_ms() { date +%s%3N; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
player=$prefix/bin/slidesaver
[[ -x $prefix/libexec/slidesaver/slidesaver-idle ]] || fail "the install left out the watcher"
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run SDL_AUDIODRIVER=dummy
unset WAYLAND_DISPLAY  # the X server tells the idle time

# The show the watcher started and plays now, if any.
show_of() { cat "/proc/$1/task/$1/children" 2>/dev/null | tr -d ' ' || true; }
extractions() { find "$work/run/slidesaver" -mindepth 1 -maxdepth 1 -type d -name 'temp*'; }
# Waits until a show plays: its pid in $show, its start in $started (ms).
await_show() {  # limit in ms
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
await_window() {  # the show's own window on the display
  local since
  since=$(now_ms)
  until xdotool search --onlyvisible --pid "$show" >/dev/null 2>&1; do
    (($(now_ms) - since < 15000 * slow)) || fail "the show $show shows no window"
    kill -0 "$show" 2>/dev/null || fail "the show $show ended by itself"
    sleep 0.1
  done
}

"$player" --idle 2 2>"$work/watcher.log" &
watcher=$!
# The watcher is a program of its own, and holds the display's lock.
for _ in $(seq 100); do
  [[ -f $work/run/slidesaver/idle-$DISPLAY.lock ]] && break
  sleep 0.05
done
[[ $(readlink "/proc/$watcher/exe") == "$prefix/libexec/slidesaver/slidesaver-idle" ]] ||
  fail "the watcher is $(readlink "/proc/$watcher/exe")"
status=0
"$player" --idle 5 2>"$work/second.log" || status=$?
((status == 1)) || fail "a second watcher ended with status $status"
grep -q "already runs for display $DISPLAY" "$work/second.log" || fail "the second watcher said: $(cat "$work/second.log")"

xdotool mousemove 10 10
input=$(now_ms)
await_show $((20000 * slow))
waited=$((started - input))
((waited >= 1800)) || fail "the show started $waited ms after the last input, before 2 s"
await_window
[[ -n $(extractions) ]] || fail "no extraction folder while the show plays"
echo "idle 2 s: the show started $waited ms after the last input, its window is there"

# Pointer motion ends the show.
first=$show
since=$(now_ms)
position=100
while kill -0 "$first" 2>/dev/null && [[ $(show_of "$watcher") == "$first" ]]; do
  (($(now_ms) - since < 15000 * slow)) || fail "pointer motion did not end the show"
  position=$((position == 100 ? 300 : 100))
  xdotool mousemove "$position" "$position"
  input=$(now_ms)
  sleep 0.2
done
echo "pointer motion ended the show within $(($(now_ms) - since)) ms"
await_show $((20000 * slow))
[[ $show != "$first" ]] || fail "the first show did not end"
waited=$((started - input))
((waited >= 1800)) || fail "the next show started $waited ms after the last input, before 2 s"
echo "idle 2 s again: the next show started $waited ms after the last input"
await_window

kill -TERM "$watcher"
status=0
wait "$watcher" || status=$?
watcher=""
((status == 0)) || fail "the watcher ended with status $status on SIGTERM"
[[ ! -e /proc/$show ]] || fail "the show $show outlived its watcher"
[[ -z $(extractions) ]] || fail "an extraction folder stayed: $(extractions)"
echo "SIGTERM: the watcher and its show ended, no extraction folder stayed"

# A real xscreensaver on the display (as nobody when this runs as root: it refuses root).
as_user=()
if ((EUID == 0)); then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
mkdir -p "$work/saver-home" "$work/saver-run"
chmod 700 "$work/saver-run"
printf 'timeout: 0:30:00\nlock: False\nsplash: False\nmode: blank\n' >"$work/saver-home/.xscreensaver"
((EUID == 0)) && chown -R 65534:65534 "$work/saver-home" "$work/saver-run" && chmod 755 "$work"
"${as_user[@]}" env HOME="$work/saver-home" XDG_RUNTIME_DIR="$work/saver-run" \
  xscreensaver -no-splash >"$work/xscreensaver.log" 2>&1 &
saver=$!
for _ in $(seq 100); do
  xscreensaver-command -time >/dev/null 2>&1 && break
  kill -0 "$saver" 2>/dev/null || fail "xscreensaver did not start"
  sleep 0.1
done

"$player" --idle 1 2>"$work/watcher.log" &
watcher=$!
standing_aside() { grep -c "another screen saver keeps the session" "$work/watcher.log" || true; }
for round in 1 2; do  # looked for again at each idle time
  since=$(now_ms)
  until (($(standing_aside) >= round)); do
    (($(now_ms) - since < 15000 * slow)) || fail "the watcher did not stand aside (idle $round)"
    sleep 0.05
  done
  [[ -z $(show_of "$watcher") ]] || fail "a show started beside xscreensaver"
  xdotool mousemove $((round * 50)) 50
done
stop "$saver"
saver=""
xdotool mousemove 20 20
await_show $((20000 * slow))
echo "beside xscreensaver: no show at 2 idle times; once it had gone, a show"
