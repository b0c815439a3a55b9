#!/usr/bin/env bash
# The player's /S on a headless GNOME (mutter: no layer shell, a full-screen toplevel) or KDE
# (KWin: the layer shell) compositor of 1280 x 720, started here with a session bus of its own:
#   player_desktop_test.sh mutter|kwin|mutter-idle|kwin-idle|kwin-password BUILD-DIR
# The player records what it presents (SLIDESAVER_PRESENT_RECORD): a buffer of the output's size
# with the picture centred. Input from the compositor's own virtual devices ends the show, a key
# and then (in a second show) the pointer's motion, each with status 0 and its extraction folder
# gone: on mutter through its remote desktop service on the session bus (mutter-remote-input),
# on KWin through its fake input protocol (kde-fake-input; KWin offers it only to clients it
# trusts, and to all with KWIN_WAYLAND_NO_PERMISSION_CHECKS).
# *-idle: the idle watcher (--idle 2), told of idleness by the compositor (KWin:
# ext-idle-notify-v1; mutter: its IdleMonitor on the session bus), starts the show 2 s after the
# last input; the pointer's motion ends it, the watcher waits again and starts the next show 2 s
# later; SIGTERM to the watcher ends both.
# kwin-password: with the password switch on, pointer motion opens the password check (an
# overlay layer surface over the show's); a wrong password and Return leave the show going, the
# right one ends it. Typed blind (nothing here sees the dialog): the right one is typed until
# the show ends, as keys that come before the dialog has the keyboard are lost to it.
# As root, the compositor and the player run as nobody. KWin's installed program carries file
# capabilities, which no_new_privs refuses: a copy without them runs.
set -euo pipefail
desktop=$1
build=$(realpath "$2")
mode=show
if [[ $desktop == *-* ]]; then
  mode=${desktop#*-}
  desktop=${desktop%%-*}
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
watcher=""
source "$(dirname "$0")/../idle/watcher_steps.sh"
device=""
cleanup() {
  stop "$inhibitor"
  stop "$watcher"
  stop "$show"
  exec 3>&- 2>/dev/null || true
  stop "$device"
  stop "$compositor_pid"
  stop "$bus"
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL ($desktop): $*" >&2
  tail -n 20 "$work/compositor.log" "$work/player.log" "$work/input.log" >&2 || true
  exit 1
}
# Runs a command as the test's user; it replaces the shell, so call it in a subshell.
run_as() {
  exec "${as_user[@]}" env -i HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PATH="$PATH" \
    ${LSAN_OPTIONS:+"LSAN_OPTIONS=$LSAN_OPTIONS"} "$@"
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
(run_as dbus-daemon --session --nofork --print-address=3 3>"$work/bus") &
bus=$!
started=$(now_ms)
until [[ -s $work/bus ]]; do
  kill -0 "$bus" 2>/dev/null || fail "no session bus"
  (($(now_ms) - started < 10000 * slow)) || fail "no session bus address within $((10 * slow)) s"
  sleep 0.05
done
(run_as DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")" KWIN_WAYLAND_NO_PERMISSION_CHECKS=1 \
  "${compositor[@]}" >"$work/compositor.log" 2>&1) &
compositor_pid=$!
started=$(now_ms)
until [[ -S $work/run/$socket ]]; do
  kill -0 "$compositor_pid" 2>/dev/null || fail "the compositor did not start"
  (($(now_ms) - started < 30000 * slow)) || fail "no Wayland socket within $((30 * slow)) s"
  sleep 0.05
done

record=$work/files/presented.ppm
# The player with ARGS, as $show.
start_player() {
  rm -f "$record"
  (run_as WAYLAND_DISPLAY="$socket" SDL_AUDIODRIVER=dummy SLIDESAVER_PRESENT_RECORD="$record" \
    DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")" \
    "$build/slidesaver" --show "$work/files/show.scr" "$@" 2>>"$work/player.log") &
  show=$!
}
# The buffer of the output's size, the picture centred at (440, 210), black beside it.
await_visible() {
  local since difference="" brightest
  since=$(now_ms)
  while (($(now_ms) - since < 15000 * slow)); do
    kill -0 "$show" 2>/dev/null || fail "the player ended before it presented its picture"
    if [[ -s $record ]] && [[ $(head -n 3 "$record" | tr '\n' ' ') == "P6 1280 720 255 " ]]; then
      convert "$record" -crop 400x300+440+210 +repage "$work/area.png"
      difference=$({ compare -metric AE "$work/area.png" "$work/files/picture.png" null: 2>&1 || true; })
      [[ $difference == 0 ]] && break
    fi
    sleep 0.1
  done
  [[ $difference == 0 ]] || fail "no 1280 x 720 buffer with the picture centred (${difference:-no record})"
  echo "the picture presented $(($(now_ms) - since)) ms after the wait began"
  brightest=$(convert "$record" -crop 440x720+0+0 +repage -format '%[fx:int(255*maxima)]' info:)
  ((brightest == 0)) || fail "not black beside the picture"
  rm -f "$record"  # the next show records afresh
}
extractions() { find "$work/run/slidesaver" -mindepth 1 -maxdepth 1 -type d -name 'temp*' 2>/dev/null; }

# Input through the compositor's own virtual devices: one device, plugged in before the show
# and fed a line of actions at a time (a device that has just appeared may lose its first input).
input_tool=$build/tests/gui/wayland/mutter-remote-input
[[ $desktop == kwin ]] && input_tool=$build/tests/gui/wayland/kde-fake-input
mkfifo -m 644 "$work/input"
(run_as DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")" WAYLAND_DISPLAY="$socket" \
  "$input_tool" - <"$work/input" >"$work/input.log" 2>&1) &
device=$!
exec 3>"$work/input"
trap '' PIPE  # a device that has gone fails the write below
give() {
  echo "$*" >&3 2>/dev/null || fail "no input from $input_tool: $(tail -n 3 "$work/input.log")"
}
move_pointer() { give motion 7 5; }

# DESCRIPTION ACTION...: the input, repeated until the show ends (input before the player
# watches for it is not its end), ends it with status 0 and no extraction folder.
ends_by() {
  local since status=0
  since=$(now_ms)
  while kill -0 "$show" 2>/dev/null; do
    (($(now_ms) - since < 10000 * slow)) || fail "$1 did not end the show"
    give "${@:2}"
    sleep 0.3
  done
  wait "$show" || status=$?
  show=""
  ((status == 0)) || fail "the show ended with status $status after $1"
  [[ -z $(extractions) ]] || fail "the extraction folder stayed after $1: $(extractions)"
  echo "$1 ended the show within $(($(now_ms) - since)) ms"
}

# Types TEXT (lower case letters and spaces) and Return, with Linux key codes.
type_line() {
  local codes=() c i
  local -A code=([a]=30 [b]=48 [c]=46 [d]=32 [e]=18 [f]=33 [g]=34 [h]=35 [i]=23 [j]=36 [k]=37
    [l]=38 [m]=50 [n]=49 [o]=24 [p]=25 [q]=16 [r]=19 [s]=31 [t]=20 [u]=22 [v]=47 [w]=17 [x]=45
    [y]=21 [z]=44 [' ']=57)
  for ((i = 0; i < ${#1}; i++)); do
    c=${1:i:1}
    codes+=(key "${code[$c]}")
  done
  give "${codes[@]}" key 28
}

# GNOME's session manager says a program holds idle off (as a video player does): the next idle
# time passes without a show; once the program lets go, the one after brings a show again.
inhibitor=""
no_show_while_idle_is_held_off() {
  local playing asides since
  (run_as DBUS_SESSION_BUS_ADDRESS="$(head -n1 "$work/bus")" \
    "$build/tests/gui/wayland/gnome-session-inhibitor" >"$work/inhibitor.log" 2>&1) &
  inhibitor=$!
  since=$(now_ms)
  until grep -q inhibiting "$work/inhibitor.log"; do
    kill -0 "$inhibitor" 2>/dev/null || fail "no session manager: $(cat "$work/inhibitor.log")"
    (($(now_ms) - since < 10000 * slow)) || fail "no session manager within $((10 * slow)) s"
    sleep 0.05
  done
  playing=$show
  asides=$(grep -c "no show this time" "$work/player.log" || true)
  since=$(now_ms)
  while kill -0 "$playing" 2>/dev/null && [[ $(show_of "$watcher") == "$playing" ]]; do
    (($(now_ms) - since < 15000 * slow)) || fail "pointer motion did not end the show"
    move_pointer
    sleep 0.2
  done
  since=$(now_ms)
  until (($(grep -c "no show this time" "$work/player.log" || true) > asides)); do
    [[ -z $(show_of "$watcher") ]] || fail "a show started while a program held idle off"
    (($(now_ms) - since < 15000 * slow)) || fail "the watcher did not see idle held off"
    sleep 0.05
  done
  [[ -z $(show_of "$watcher") ]] || fail "a show started while a program held idle off"
  stop "$inhibitor"
  inhibitor=""
  move_pointer
  await_show
  echo "idle held off: no show; let go: the next idle time brought a show"
}

if [[ $mode == password ]]; then
  mkdir -p "$work/home/.config/slidesaver"
  echo "ScreenSaveUsePassword=1" >"$work/home/.config/slidesaver/desktop.conf"
  "$(dirname "$0")/store_password.py" "let me in" "$work/home/.config/slidesaver/password"
  ((EUID != 0)) || chown -R 65534:65534 "$work/home/.config"
  start_player /S
  await_visible
  give motion 7 5
  for _ in 1 2 3; do
    sleep 1  # the dialog opens, or checks the password typed before
    type_line "let me out"
  done
  sleep 1
  kill -0 "$show" 2>/dev/null || fail "a wrong password ended the show"
  since=$(now_ms)
  while kill -0 "$show" 2>/dev/null; do
    (($(now_ms) - since < 15000 * slow)) || fail "the right password did not end the show"
    type_line "let me in"
    sleep 1  # the check of a password takes a moment: not typed over it
  done
  echo "the right password ended the show within $(($(now_ms) - since)) ms"
  status=0
  wait "$show" || status=$?
  show=""
  ((status == 0)) || fail "the show ended with status $status after the right password"
  [[ -z $(extractions) ]] || fail "the extraction folder stayed: $(extractions)"
elif [[ $mode == idle ]]; then
  start_player --idle 2
  watcher=$show
  # Its lock, taken once it has asked the compositor to tell it of idleness.
  since=$(now_ms)
  until compgen -G "$work/run/slidesaver/idle-*.lock" >/dev/null; do
    kill -0 "$watcher" 2>/dev/null || fail "the watcher ended"
    (($(now_ms) - since < 10000 * slow)) || fail "the watcher took no lock"
    sleep 0.05
  done
  two_idle_shows
  [[ $desktop == mutter ]] && no_show_while_idle_is_held_off
  terminate_watcher
else
  start_player /S
  await_visible
  [[ -n $(extractions) ]] || fail "no extraction folder while the show runs"
  ends_by "a key" key 57
  start_player /S
  await_visible
  ends_by "the pointer's motion" motion 7 5
fi
echo "passed: $desktop $mode"
