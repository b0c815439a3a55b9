#!/usr/bin/env bash
# A real xscreensaver runs the installed player: the build is installed into a temporary prefix,
# xscreensaver gets prefs whose only program is "slidesaver --root --show <the installed demo>",
# and then
#   xscreensaver-command -activate    -> within 15 s the demo's first picture, centred, on screen
#   xscreensaver-command -deactivate  -> within 2 s the player is gone and so is its extraction
# and the installed player without --show plays the installed demo.
# xscreensaver starts no programs as root: as root, it and its programs run as nobody.
#   xscreensaver-test.sh BUILD-DIR        (on a display of its own: see run-with-xvfb.sh)
set -euo pipefail
build=$(realpath "$1")
: "${DISPLAY:?no display}"
# A sanitizer build starts and ends several times slower: its limits are three times as long.
slow=1
grep -q '^SLIDESAVER_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && slow=3

work=$(mktemp -d "${TMPDIR:-/tmp}/xscreensaver-test.XXXXXX")
daemon=""
cleanup() {
  if [[ -n $daemon ]]; then kill "$daemon" 2>/dev/null && wait "$daemon" 2>/dev/null; fi || true
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL: $*" >&2
  [[ -f $work/xscreensaver.log ]] && tail -n 30 "$work/xscreensaver.log" >&2
  exit 1
}

prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
player=$prefix/bin/slidesaver
demo=$prefix/share/slidesaver/demo.scr
for installed in "$player" "$prefix/bin/slidepack" "$demo" \
  "$prefix/share/xscreensaver/config/slidesaver.xml" \
  "$prefix/share/man/man1/slidesaver.1" "$prefix/share/man/man1/slidepack.1"; do
  [[ -f $installed ]] || fail "the install left out $installed"
done

# The first picture as the show draws it: the demo's first slide fills its 800 x 600 area.
"$prefix/bin/slidepack" unpack "$demo" "$work/demo-files" >/dev/null
first=$(awk -F'"' '/^picture = / {print $2; exit}' "$work/demo-files/show.toml")
[[ -f $work/demo-files/$first ]] || fail "no first picture in the unpacked demo"

as_user=()
if ((EUID == 0)); then as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups); fi
mkdir -p "$work/home" "$work/run"
chmod 700 "$work/run"
cat >"$work/home/.xscreensaver" <<PREFS
timeout: 0:30:00
lock: False
fade: False
unfade: False
splash: False
mode: one
selected: 0
programs: $player --root --show $demo
PREFS
if ((EUID == 0)); then
  chown -R 65534:65534 "$work/home" "$work/run"
  chmod 755 "$work"
  chmod -R a+rX "$prefix"
  if [[ -n ${XAUTHORITY:-} && -f $XAUTHORITY ]]; then  # the display's key, readable by nobody
    install -m 600 -o 65534 "$XAUTHORITY" "$work/Xauthority"
    export XAUTHORITY=$work/Xauthority
  fi
fi

"${as_user[@]}" env HOME="$work/home" XDG_RUNTIME_DIR="$work/run" SDL_AUDIODRIVER=dummy \
  xscreensaver -no-splash -verbose >"$work/xscreensaver.log" 2>&1 &
daemon=$!
for _ in $(seq 100); do
  xscreensaver-command -time >/dev/null 2>&1 && break
  kill -0 "$daemon" 2>/dev/null || fail "xscreensaver did not start"
  sleep 0.1
done

# The player's processes: those whose program file is the installed player (a process that
# has ended has none, even before its parent reaps it).
players() {
  { find /proc -mindepth 2 -maxdepth 2 -name exe -lname "$player" 2>/dev/null || true; } | cut -d/ -f3
}
running() {
  local pid
  for pid in $pids; do [[ $(readlink "/proc/$pid/exe" 2>/dev/null) == "$player" ]] && return 0; done
  return 1
}
extractions() { find "$work/run/slidesaver" -mindepth 1 -maxdepth 1 -type d -name 'temp*' 2>/dev/null; }

# The screen: 1024 x 768, so the 800 x 600 area lies at (112, 84).
xscreensaver-command -activate >/dev/null
shown=no
activated=$(date +%s%3N)
while (($(date +%s%3N) - activated < 15000 * slow)); do
  import -window root "$work/screen.png" 2>/dev/null || true
  if [[ -f $work/screen.png ]]; then
    convert "$work/screen.png" -crop 800x600+112+84 +repage "$work/area.png"
    # compare's status tells only whether the pictures differ at all.
    difference=$({ compare -metric MAE "$work/area.png" "$work/demo-files/$first" null: 2>&1 || true; } |
      sed 's/.*(\(.*\)).*/\1/')
    if awk -v d="$difference" 'BEGIN {exit !(d < 0.02)}'; then shown=yes && break; fi
  fi
  sleep 0.2
done
[[ $shown == yes ]] || fail "no first picture centred within $((15 * slow)) s (mean difference ${difference:-?})"
took=$(($(date +%s%3N) - activated))
for corner in 111+84 912+84 111+683 512+83 512+684; do
  colour=$(convert "$work/screen.png" -crop "1x1+$corner" \
    -format '%[fx:int(255*r)],%[fx:int(255*g)],%[fx:int(255*b)]' info:)
  [[ $colour == 0,0,0 ]] || fail "not black around the area at $corner: $colour"
done
pids=$(players)
[[ -n $pids ]] || fail "no slidesaver process"
[[ -n $(extractions) ]] || fail "no extraction folder while the show runs"
echo "shown: the first picture centred after $took ms (mean difference $difference), player $pids"

now_ms() { date +%s%3N; }
xscreensaver-command -deactivate >/dev/null
deactivated=$(now_ms)
while running && (($(now_ms) - deactivated <= 2000 * slow)); do sleep 0.02; done
running && fail "the player still runs $((2 * slow)) s after -deactivate"
took=$(($(now_ms) - deactivated))
[[ -z $(extractions) ]] || fail "the extraction folder stayed: $(extractions)"
echo "deactivated: the player ended within $took ms and its extraction folder is gone"

# Without --show the installed player plays the installed demo.
mkdir -m 700 "$work/own-run"
XDG_RUNTIME_DIR=$work/own-run SDL_AUDIODRIVER=dummy "$player" --root &
own=$!
for _ in $(seq 50); do
  import -window root "$work/screen.png" 2>/dev/null || true
  convert "$work/screen.png" -crop 800x600+112+84 +repage "$work/area.png"
  difference=$({ compare -metric MAE "$work/area.png" "$work/demo-files/$first" null: 2>&1 || true; } |
    sed 's/.*(\(.*\)).*/\1/')
  awk -v d="$difference" 'BEGIN {exit !(d < 0.02)}' && break
  sleep 0.2
done
kill -TERM "$own"
wait "$own" || fail "the player without --show ended with status $?"
awk -v d="$difference" 'BEGIN {exit !(d < 0.02)}' || fail "without --show no demo on the root window"
echo "without --show: the installed demo"
