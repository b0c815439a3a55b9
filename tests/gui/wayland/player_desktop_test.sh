#!/usr/bin/env bash
# The player's /S on a headless GNOME (mutter: no layer shell, a full-screen toplevel) or KDE
# (KWin: the layer shell) compositor of 1280 x 720, started here with a session bus of its own:
#   player_desktop_test.sh mutter|kwin|mutter-idle|kwin-idle BUILD-DIR
# *-idle: the show is started by the idle watcher (--idle 2), which the compositor tells of
# idleness (KWin: ext-idle-notify-v1; mutter: its IdleMonitor on the session bus) 2 s after it
# has asked, no input coming; SIGTERM to the watcher ends both.
# The player records what it presents (SLIDESAVER_PRESENT_RECORD): a buffer of the output's size
# with the picture centred. Neither compositor takes virtual input from a client here, so the
# show is ended with SIGTERM: status 0 and its extraction folder gone. As root, the compositor
# and the player run as nobody. KWin's installed program carries file capabilities, which
# no_new_privs refuses: a copy without them runs.
set -euo pipefail
desktop=$1
build=$(realpath "$2")
start_show=(/S)
if [[ $desktop == *-idle ]]; then
  desktop=${desktop%-idle}
  start_show=(--idle 2)
fi
slow=1
grep -q '^SLIDESAVER_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && slow=3

work=$(mktemp -d "${TMPDIR:-/tmp}/desktop-player.XXXXXX")
chmod 755 "$work"
mkdir -m 700 "$work/run" && mkdir "$work/home" "$work/files"
as_user=()
if ((EUID == 0)); then
  chown 65534:65534 "$work/run" "$work/home" "$work/files"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
bus=""
compositor_pid=""
show=""
stop() { if [[ -n $1 ]]; then kill "$1" 2>/dev/null && wait "$1" 2>/dev/null; fi || true; }
cleanup() {
  stop "$show"
  stop "$compositor_pid"
  stop "$bus"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL ($desktop): $*" >&2
  tail -n 20 "$work/compositor.log" "$work/player.log" >&2 || true
  exit 1
}
now_ms() { date +%s%3N; }
run_as() {
  exec "${as_user[@]}" env -i HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PATH="$PATH" "$@"
}

convert -size 400x300 -depth 8 gradient:red-blue "$work/files/picture.png"
printf 'width = 400\nheight = 300\nbackground = "#000000"\n[[slide]]\npicture = "picture.png"\ntime = 60000\n' \
  >"$work/files/show.toml"
"$build/slidepack" build --linux-only "$work/files/show.toml" -o "$work/files/show.scr" >/dev/null
chmod -R a+rX "$work/files"

socket=wayland-test
case $desktop in
  mutter)
    compositor=(mutter --headless --wayland --no-x11 --virtual-monitor 1280x720
      --wayland-display "$socket")
    ;;
  kwin)
    mkdir "$work/kwin"
    cp /usr/bin/kwin_wayland "$work/kwin/kwin_wayland"  # a copy has no file capabilities
    compositor=("$work/kwin/kwin_wayland" --virtual --width 1280 --height 720 --socket "$socket")
    ;;
  *) fail "no such desktop" ;;
esac
# The session bus the compositor needs, then the compositor.
run_as dbus-daemon --session --nofork --print-address=3 3>"$work/bus" &
bus=$!
started=$(now_ms)
until [[ -s $work/bus ]]; do
  kill -0 "$bus" 2>/dev/null || fail "no session bus"
  (($(now_ms) - started < 10000 * slow)) || fail "no session bus address within $((10 * slow)) s"
  sleep 0.05
done
run_as DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")" "${compositor[@]}" \
  >"$work/compositor.log" 2>&1 &
compositor_pid=$!
started=$(now_ms)
until [[ -S $work/run/$socket ]]; do
  kill -0 "$compositor_pid" 2>/dev/null || fail "the compositor did not start"
  (($(now_ms) - started < 30000 * slow)) || fail "no Wayland socket within $((30 * slow)) s"
  sleep 0.05
done

record=$work/files/presented.ppm
run_as WAYLAND_DISPLAY="$socket" SDL_AUDIODRIVER=dummy SLIDESAVER_PRESENT_RECORD="$record" \
  DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")" \
  "$build/slidesaver" --show "$work/files/show.scr" "${start_show[@]}" 2>"$work/player.log" &
show=$!
# The buffer of the output's size, the picture centred at (440, 210).
started=$(now_ms)
difference=""
while (($(now_ms) - started < 15000 * slow)); do
  kill -0 "$show" 2>/dev/null || fail "the player ended before it presented its picture"
  if [[ -s $record ]] && [[ $(head -n 3 "$record" | tr '\n' ' ') == "P6 1280 720 255 " ]]; then
    convert "$record" -crop 400x300+440+210 +repage "$work/area.png"
    difference=$({ compare -metric AE "$work/area.png" "$work/files/picture.png" null: 2>&1 || true; })
    [[ $difference == 0 ]] && break
  fi
  sleep 0.1
done
[[ $difference == 0 ]] || fail "no 1280 x 720 buffer with the picture centred (${difference:-no record})"
took=$(($(now_ms) - started))
[[ ${start_show[0]} == --idle ]] && ((took < 1500)) && fail "the watcher's show came $took ms after it started, before its idle time"
echo "the picture presented $took ms after the player started"
brightest=$(convert "$record" -crop 440x720+0+0 +repage -format '%[fx:int(255*maxima)]' info:)
((brightest == 0)) || fail "not black beside the picture"
extractions() { find "$work/run/slidesaver" -mindepth 1 -maxdepth 1 -type d -name 'temp*' 2>/dev/null; }
[[ -n $(extractions) ]] || fail "no extraction folder while the show runs"

kill -TERM "$show"
status=0
wait "$show" || status=$?
show=""
((status == 0)) || fail "the show ended with status $status after SIGTERM"
[[ -z $(extractions) ]] || fail "the extraction folder stayed: $(extractions)"
echo "passed: $desktop"
