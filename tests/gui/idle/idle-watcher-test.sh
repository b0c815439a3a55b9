#!/usr/bin/env bash
# The idle watcher (slidesaver --idle), installed into a temporary prefix, on a display of its
# own with input from xdotool:
#   2 s after the last input the installed demo plays full screen (its window appears), pointer
#   motion ends it and its extraction folder goes, 2 s later it plays again;
#   a second watcher on the display refuses to run (status 1);
#   SIGTERM ends the watcher and the show it plays, and no extraction folder stays;
#   SIGKILL ends the watcher and the show ends with it, and the next watcher plays;
#   a watcher whose display goes away ends with status 1 and leaves no lock file;
#   while a real xscreensaver runs on the display the watcher starts no show, and once that has
#   gone it does again.
#   idle-watcher-test.sh BUILD-DIR        (on a display of its own: see run-with-xvfb.sh)
set -euo pipefail
build=$(realpath "$1")
: "${DISPLAY:?no display}"
slow=1  # a sanitizer build starts and ends several times slower
grep -q '^SLIDESAVER_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && slow=3
source "$(dirname "$0")/watcher_steps.sh"

work=$(mktemp -d "${TMPDIR:-/tmp}/idle-watcher-test.XXXXXX")
watcher="" saver="" server=""
cleanup() {
  stop "$watcher"
  stop "$saver"
  stop "$server"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  for log in "$work"/*.log; do [[ -f $log ]] && tail -n 20 "$log" >&2; done
  exit 1
}
position=100
move_pointer() {
  position=$((position == 100 ? 300 : 100))
  xdotool mousemove "$position" "$position"
}
await_visible() {  # the show's own window on the display
  local since
  since=$(now_ms)
  until xdotool search --onlyvisible --pid "$show" >/dev/null 2>&1; do
    (($(now_ms) - since < 15000 * slow)) || fail "the show $show shows no window"
    kill -0 "$show" 2>/dev/null || fail "the show $show ended by itself"
    sleep 0.1
  done
}
extractions() { find "$work/run/slidesaver" -mindepth 1 -maxdepth 1 -type d -name 'temp*'; }

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
player=$prefix/bin/slidesaver
mkdir -m 700 "$work/run"
export XDG_RUNTIME_DIR=$work/run SDL_AUDIODRIVER=dummy
unset WAYLAND_DISPLAY  # the X server tells the idle time

"$player" --idle 2 2>"$work/watcher.log" &
watcher=$!
# The watcher is a program of its own, and holds the display's lock.
for _ in $(seq 100); do
  [[ -f $work/run/slidesaver/idle-$DISPLAY.lock ]] && break
  sleep 0.05
done
[[ $(readlink "/proc/$watcher/exe") == "$prefix/libexec/slidesaver/slidesaver-idle" ]] ||
  fail "the watcher is $(readlink "/proc/$watcher/exe")"
second_watcher_refused "$player" "$DISPLAY"
two_idle_shows
terminate_watcher
killed_watcher_takes_its_show "$player"

# A display of its own, which goes away under the watcher.
Xvfb -displayfd 3 -screen 0 640x480x24 -nolisten tcp 3>"$work/display" 2>"$work/xvfb.log" &
server=$!
for _ in $(seq 200); do
  [[ -s $work/display ]] && break
  sleep 0.05
done
[[ -s $work/display ]] || fail "the second Xvfb gave no display number"
lost=":$(head -n1 "$work/display")"
DISPLAY=$lost "$player" --idle 60 2>"$work/watcher.log" &
watcher=$!
for _ in $(seq 200); do
  [[ -f $work/run/slidesaver/idle-$lost.lock ]] && break
  sleep 0.05
done
[[ -f $work/run/slidesaver/idle-$lost.lock ]] || fail "no lock for $lost"
stop "$server"
server=""
since=$(now_ms)
until ended "$watcher"; do
  (($(now_ms) - since < 10000 * slow)) || fail "the watcher outlived its display"
  sleep 0.05
done
status=0
wait "$watcher" || status=$?
watcher=""
((status == 1)) || fail "the watcher ended with status $status when its display went"
grep -q "lost the display" "$work/watcher.log" || fail "the watcher said: $(cat "$work/watcher.log")"
[[ ! -e $work/run/slidesaver/idle-$lost.lock ]] || fail "the lock file stayed after the display went"
echo "display lost: the watcher ended with status 1 and took its lock file"

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
  move_pointer
done
stop "$saver"
saver=""
move_pointer
await_show
echo "beside xscreensaver: no show at 2 idle times; once it had gone, a show"
