#!/usr/bin/env bash
# A real mate-screensaver plays the installed player as its theme: the build is installed into
# a temporary prefix, the theme is found there (XDG_DATA_DIRS) and chosen through gsettings (a
# dconf of the test's own on a session bus of its own), and then
#   mate-screensaver-command --activate    -> the demo's first picture, centred, on screen
#   mate-screensaver-command --deactivate  -> the player is gone and so is its extraction
# mate-screensaver runs only programs in the folders it knows (/usr/libexec/xscreensaver among
# them): in a mount namespace of the test's own, the prefix's libexec/xscreensaver, where the
# install links the player, is mounted over that folder.
#   mate-screensaver-test.sh BUILD-DIR        (on a display of its own: see run-with-xvfb.sh)
set -euo pipefail
build=$(realpath "$1")
: "${DISPLAY:?no display}"
slow=1  # a sanitizer build starts and ends several times slower
grep -q '^SLIDESAVER_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && slow=3
fail() {
  echo "FAIL: $*" >&2
  [[ -f ${work:-}/mate-screensaver.log ]] && grep -v '^\[' "$work/mate-screensaver.log" | tail -n 20 >&2
  exit 1
}
now_ms() { date +%s%3N; }

# In the namespace, on the session bus: the screen saver and the checks.
if [[ ${2:-} == --inside ]]; then
  work=$3
  prefix=$work/prefix
  mount --bind "$prefix/libexec/xscreensaver" /usr/libexec/xscreensaver
  gsettings set org.mate.screensaver mode single
  gsettings set org.mate.screensaver themes "['screensavers-slidesaver']"
  gsettings set org.mate.screensaver lock-enabled false
  gsettings set org.mate.screensaver idle-activation-enabled false
  mate-screensaver --no-daemon --debug >"$work/mate-screensaver.log" 2>&1 &
  daemon=$!
  trap 'kill "$daemon" 2>/dev/null && wait "$daemon" 2>/dev/null || true' EXIT
  for _ in $(seq 100); do
    mate-screensaver-command --query >/dev/null 2>&1 && break
    kill -0 "$daemon" 2>/dev/null || fail "mate-screensaver did not start"
    sleep 0.1
  done

  # The screen: 1024 x 768, so the 800 x 600 area lies at (112, 84).
  mate-screensaver-command --activate >/dev/null
  activated=$(now_ms)
  shown=no
  while (($(now_ms) - activated < 10000 * slow)); do
    import -window root "$work/screen.png" 2>/dev/null || true
    if [[ -f $work/screen.png ]]; then
      convert "$work/screen.png" -crop 800x600+112+84 +repage "$work/area.png"
      difference=$({ compare -metric MAE "$work/area.png" "$work/first.picture" null: 2>&1 || true; } |
        sed 's/.*(\(.*\)).*/\1/')
      if awk -v d="$difference" 'BEGIN {exit !(d < 0.02)}'; then shown=yes && break; fi
    fi
    sleep 0.2
  done
  [[ $shown == yes ]] || fail "no first picture within $((10 * slow)) s (mean difference ${difference:-?})"
  took=$(($(now_ms) - activated))
  player=""
  for pid in $(cat "/proc/$daemon/task/$daemon/children"); do
    [[ $(readlink "/proc/$pid/exe") == "$prefix/bin/slidesaver" ]] && player=$pid
  done
  [[ -n $player ]] || fail "the picture is there, but no player runs under mate-screensaver"
  # The player's extraction folder: the one whose lock it holds.
  lock=$(find "/proc/$player/fd" -lname '*/temp*.lock' -printf '%l\n' | head -n1)
  [[ -n $lock ]] || fail "the player holds no extraction folder"
  folder=${lock%.lock}
  [[ -d $folder ]] || fail "no extraction folder $folder"
  echo "activated: the first picture centred after $took ms, player $player extracted into $folder"

  mate-screensaver-command --deactivate >/dev/null
  deactivated=$(now_ms)
  while [[ -e /proc/$player ]] && (($(now_ms) - deactivated <= 5000 * slow)); do sleep 0.02; done
  [[ ! -e /proc/$player ]] || fail "the player still runs $((5 * slow)) s after --deactivate"
  [[ ! -e $folder ]] || fail "the extraction folder $folder stayed"
  echo "deactivated: the player ended within $(($(now_ms) - deactivated)) ms, its folder is gone"
  exit 0
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/mate-screensaver-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
theme=$prefix/share/applications/screensavers/slidesaver.desktop
[[ -f $theme ]] || fail "the install left out $theme"
[[ $(readlink "$prefix/libexec/xscreensaver/slidesaver") == "$prefix/bin/slidesaver" ]] ||
  fail "the install did not link the player into libexec/xscreensaver"
grep -qx 'Exec=slidesaver --root' "$theme" || fail "the theme does not run slidesaver --root"

# The first picture as the show draws it: the demo's first slide fills its 800 x 600 area.
"$prefix/bin/slidepack" unpack "$prefix/share/slidesaver/demo.scr" "$work/demo-files" >/dev/null
first=$(awk -F'"' '/^picture = / {print $2; exit}' "$work/demo-files/show.toml")
cp "$work/demo-files/$first" "$work/first.picture"

mkdir -p "$work/home" "$work/config"
mkdir -m 700 "$work/run"
namespace=(unshare --mount --propagation private)
((EUID == 0)) || namespace+=(--map-root-user)
# The session bus and what it starts (dconf's service) see the test's own folders.
env HOME="$work/home" XDG_CONFIG_HOME="$work/config" XDG_RUNTIME_DIR="$work/run" \
  XDG_DATA_DIRS="$prefix/share:/usr/share" XDG_CURRENT_DESKTOP=MATE PATH="$prefix/bin:$PATH" \
  "${namespace[@]}" dbus-run-session -- "$0" "$build" --inside "$work"
