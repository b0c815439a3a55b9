#!/usr/bin/env bash
# The player on a Wayland desktop (run inside run-with-sway.sh, as its command):
#   wayland_saver_test.sh dialogs PLAYER DIALOG_HOST SHOW
#     /C and /A open with GTK on Wayland, wait without spinning, and take typed keys; the password
#     check over a full-screen show is an overlay layer surface that takes the typed password.
#   wayland_saver_test.sh show PLAYER SHOW
#     a show SDL's Wayland driver cannot present ends at once with the reason and leaves nothing;
#     swayidle starts the show (through Xwayland) and its later timeout fires while the show plays.
set -uo pipefail
mode=$1 player=$2
work=$(mktemp -d "$HOME/saver.XXXXXX")
children=()
cleanup() {
  for pid in "${children[@]}"; do kill "$pid" 2>/dev/null; done
  for pid in "${children[@]}"; do wait_for 10 gone "$pid" || kill -KILL "$pid" 2>/dev/null; done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

export XDG_RUNTIME_DIR XDG_CONFIG_HOME="$work/config" SDL_AUDIODRIVER=dummy
mkdir -p "$XDG_CONFIG_HOME/slidesaver"
extraction_folders() { compgen -G "$XDG_RUNTIME_DIR/slidesaver/temp*" | grep -v '\.lock$'; }

# Polls COMMAND until it succeeds, for at most SECONDS.
wait_for() {
  local limit=$1
  shift
  local deadline=$((SECONDS + limit))
  until "$@"; do
    ((SECONDS < deadline)) || return 1
    sleep 0.1
  done
}

# A window of process PID in sway's tree (a Wayland toplevel or an Xwayland window); with
# "focused", only while it has the focus.
window_of() {
  swaymsg -t get_tree -r | python3 -c '
import json, sys
def nodes(n):
    yield n
    for c in n.get("nodes", []) + n.get("floating_nodes", []):
        yield from nodes(c)
want_focus = len(sys.argv) > 2
sys.exit(0 if any(n.get("pid") == int(sys.argv[1]) and (n.get("focused") or not want_focus)
                  for n in nodes(json.load(sys.stdin))) else 1)' "$@"
}

# Processor time of PID in per cent of one core over three seconds.
cpu_percent() {
  local ticks=$(getconf CLK_TCK) before after
  before=$(awk '{print $14 + $15}' "/proc/$1/stat")
  sleep 3
  after=$(awk '{print $14 + $15}' "/proc/$1/stat")
  echo $(((after - before) * 100 / ticks / 3))
}

# Does the screen's centre show something other than black, with a black corner?
drawn_over_black() {
  grim -t ppm "$work/screen.ppm" 2>/dev/null && python3 -c '
import sys
data = open(sys.argv[1], "rb").read()
fields = data.split(maxsplit=4)
w, h = int(fields[1]), int(fields[2])
pixels = fields[4]
def at(x, y): return pixels[(y * w + x) * 3:(y * w + x) * 3 + 3]
centre = any(at(w // 2 + dx, h // 2 + dy) != b"\0\0\0" for dx in range(-60, 61, 6) for dy in range(-30, 31, 6))
sys.exit(0 if centre and at(2, 2) == b"\0\0\0" else 1)' "$work/screen.ppm"
}

# A dialog of the player with GTK on Wayland: it opens with the focus and waits idly.
open_dialog() {
  GDK_BACKEND=wayland "$work/show.scr" "$@" 2>"$work/dialog.err" &
  dialog=$!
  children+=("$dialog")
  wait_for 30 window_of "$dialog" focused || fail "$* did not open with the focus: $(cat "$work/dialog.err")"
  local cpu
  cpu=$(cpu_percent "$dialog")
  echo "$* waits using $cpu % of a core"
  ((cpu < 10)) || fail "$* uses $cpu % of a core while it waits"
}

# Keys through a virtual keyboard that exists only while wtype runs: the first key waits until
# the focused client has bound the new keyboard.
keys() { wtype -s 300 "$@"; }

# Process PID has ended (a child of this shell that has not been waited for is a zombie).
gone() { [[ ! -e /proc/$1 || $(awk '{print $3}' "/proc/$1/stat" 2>/dev/null) == Z ]]; }

# The process, a child of this shell, ends with status 0 within 20 seconds.
ends_well() {
  wait_for 20 gone "$1" || fail "process $1 did not end"
  wait "$1" || fail "process $1 ended with status $?"
}

check_dialogs() {
  local host=$1 show=$2
  cp "$show" "$work/show.scr"

  # Both open, wait idly and take keys; Escape cancels them.
  open_dialog /C
  keys -k Escape
  ends_well "$dialog"
  [[ ! -e $work/show.set ]] || fail "/C cancelled stored settings"
  open_dialog /A
  keys "first secret" -k Escape
  ends_well "$dialog"
  [[ ! -e $XDG_CONFIG_HOME/slidesaver/password ]] || fail "/A cancelled stored a password"

  # The password the player would store (libsodium's Argon2id string).
  "$(dirname "$0")/store_password.py" "first secret" "$XDG_CONFIG_HOME/slidesaver/password"

  # The check over a full-screen show: the show is an Xwayland window, the dialog GTK's on
  # Wayland, an overlay layer surface drawn over it that takes the typed keys; cancelled, it
  # refuses. (Return from wtype activates no GTK 3 button: wtype's keymap puts Return on a key code
  # of its own, and GTK's key bindings, unlike its typed text, do not follow that keymap. The
  # password case of player_sway_test.sh types with a keyboard of the default keymap.)
  local display
  swaymsg exec "echo \$DISPLAY >$work/display" >/dev/null
  wait_for 20 test -s "$work/display" || fail "sway runs no Xwayland"
  display=$(cat "$work/display")
  DISPLAY=$display GDK_BACKEND=wayland WAYLAND_DEBUG=client "$host" verify \
    >"$work/verify.out" 2>"$work/verify.err" &
  local pid=$!
  children+=("$pid")
  wait_for 30 window_of "$pid" || fail "no show window of dialog_host"
  swaymsg "[pid=$pid] fullscreen enable" >/dev/null
  wait_for 30 drawn_over_black || fail "the password check is not drawn over the show"
  grep -q 'get_layer_surface(.*, 3, "slidesaver-dialog")' "$work/verify.err" ||
    fail "the password check is no overlay layer surface"
  local cpu
  cpu=$(cpu_percent "$pid")
  echo "the password check waits using $cpu % of a core"
  ((cpu < 10)) || fail "the password check uses $cpu % of a core while it waits"
  keys "not it" -k Escape
  ends_well "$pid"
  grep -qx "result=0" "$work/verify.out" || fail "cancelled, the check gave $(grep result= "$work/verify.out")"
  grep -q 'wl_keyboard@[0-9]*.key(' "$work/verify.err" || fail "the password check got no keys"
}

check_show() {
  local show=$1
  cp "$show" "$work/show.scr"

  # (A video driver that cannot present ends the show with status 1: gui-saver-CommandLine. On
  # Wayland the player draws through its own client, not SDL's driver.)
  # swayidle starts the show after 2 idle seconds; the 4 s timeout fires while it plays.
  swaymsg exec "echo \$DISPLAY >$work/display" >/dev/null
  wait_for 20 test -s "$work/display" || fail "sway runs no Xwayland"
  DISPLAY=$(cat "$work/display") swayidle timeout 2 "'$work/show.scr' /S" \
    timeout 4 "touch '$work/idle'" 2>"$work/swayidle.err" &
  children+=($!)
  local pid
  find_player() { pid=$(pgrep -u "$(id -u)" -f -x "$work/show.scr /S"); }
  wait_for 30 find_player || fail "swayidle started no show"
  children+=("$pid")
  wait_for 30 test -e "$work/idle" || fail "the 4 s idle timeout did not fire while the show played"
  kill -0 "$pid" 2>/dev/null || fail "the show ended before the idle timeout"
  [[ -n $(extraction_folders) ]] || fail "the show extracted nothing"
  wait_for 30 window_of "$pid" focused || fail "the show has no focus"
  keys -k space
  wait_for 20 gone "$pid" || fail "a key did not end the show"
  wait_for 10 eval '[[ -z $(extraction_folders) ]]' || fail "the ended show left $(extraction_folders)"
}

case $mode in
  dialogs) check_dialogs "$3" "$4" ;;
  show) check_show "$3" ;;
  *) fail "unknown mode $mode" ;;
esac
echo "PASS: $mode"
