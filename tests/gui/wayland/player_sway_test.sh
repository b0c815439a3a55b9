#!/usr/bin/env bash
# The player's /S on a headless sway (run by run-with-sway.sh), one case per run:
#   player_sway_test.sh CASE BUILD-DIR
#   motion     the picture centred on output 1, output 2 black (screenshot); the show appearing
#              under the resting pointer does not end it, moving the pointer does
#   button     a button ends the show
#   key        a key typed by wtype ends the show
#   keyboards  50 wtype keyboards, each living for milliseconds, back to back while the show
#              plays in a window of its own: the player takes them all and still ends normally
#   scale      on an output of scale 2 a checkerboard of single pixels stays one
#   window     a 1600 x 1200 show in a window of its own, which sway tiles to the output's
#              1024 x 768: scaled down to fit
#   fill       with --fit fill an 800 x 600 show of four colours fills an output of 2048 x 1536
#              device pixels (scale 2), each corner its own colour
#   sharp      with --fit sharp an 800 x 600 checkerboard of single pixels is shown 2:1 on that
#              output, each pixel an exact 2 x 2 block, centred on black
#   password   with the password switch on, pointer motion opens the password check over the
#              show, an overlay surface drawn above it that takes the keys of a virtual keyboard:
#              a wrong password and Return leave the show going, the right one ends it
#   outputs    an output plugged in while the show plays (swaymsg create_output, its background
#              red) is covered black; disabling output 2 (its Wayland output goes) neither ends
#              nor harms the show, which pointer motion then ends
#   hidden     a show of two slides with a wipe, in a window of its own moved to a workspace
#              nobody sees: its transitions, whose commits wait for the compositor's frames,
#              still reach the buffers it commits
#   stopped    sway stopped (SIGSTOP) while the show plays: SIGTERM still ends the show at once
#   lost       sway ends while the show plays: the player says so and ends with status 1
# An ended show has status 0 (but for "lost") and its extraction folder is gone.
set -euo pipefail
case=$1
build=$(realpath "$2")
player=$build/slidesaver
pointer=$build/tests/gui/wayland/virtual-pointer
: "${WAYLAND_DISPLAY:?no Wayland display}"
slow=1
grep -q '^SLIDESAVER_SANITIZE:BOOL=ON' "$build/CMakeCache.txt" && slow=3
export SDL_AUDIODRIVER=dummy

work=$(mktemp -d "${TMPDIR:-/tmp}/sway-player.XXXXXX")
show=""
mouse=""
keyboard=""
cleanup() {
  [[ $case == stopped ]] && kill -CONT "$SWAY_PID" 2>/dev/null
  if [[ -n $show ]]; then kill "$show" 2>/dev/null && wait "$show" 2>/dev/null; fi || true
  exec 3>&- 4>&- 2>/dev/null || true
  for device in "$mouse" "$keyboard"; do
    if [[ -n $device ]]; then kill "$device" 2>/dev/null && wait "$device" 2>/dev/null; fi || true
  done
  rm -rf "$work"
}
trap cleanup EXIT
fail() {
  echo "FAIL ($case): $*" >&2
  exit 1
}
now_ms() { date +%s%3N; }

# A show of one 400 x 300 picture for a minute: a gradient, or a checkerboard of single pixels.
size=400x300
[[ $case == window ]] && size=1600x1200
[[ $case == fill || $case == sharp ]] && size=800x600
if [[ $case == scale || $case == sharp ]]; then
  convert -size $size pattern:gray50 "$work/picture.png"
elif [[ $case == fill ]]; then
  convert -size 400x300 xc:red xc:lime +append \( -size 400x300 xc:blue xc:white +append \) \
    -append -depth 8 "$work/picture.png"
else
  convert -size $size -depth 8 gradient:red-blue "$work/picture.png"
fi
printf 'width = %s\nheight = %s\nbackground = "#000000"\n[[slide]]\npicture = "picture.png"\ntime = 60000\n' "${size%x*}" "${size#*x}" \
  >"$work/show.toml"
if [[ $case == hidden ]]; then
  convert -size $size xc:red "$work/red.png"
  convert -size $size xc:blue "$work/blue.png"
  printf 'width = 400\nheight = 300\nbackground = "#000000"\n' >"$work/show.toml"
  for colour in red blue; do
    printf '[[slide]]\npicture = "%s.png"\ntime = 700\neffect = 19\n' $colour >>"$work/show.toml"
  done
fi
"$build/slidepack" build --linux-only "$work/show.toml" -o "$work/show.scr" >/dev/null

extractions() { find "$XDG_RUNTIME_DIR/slidesaver" -mindepth 1 -maxdepth 1 -type d -name 'temp*' 2>/dev/null; }

# The output layout is 2048 x 768 (two outputs of 1024 x 768) or, at scale 2, 512 x 384.
layout_w=2048 layout_h=768
[[ $case == scale ]] && layout_w=512 layout_h=384

# A pointer plugged in before the player starts, as a mouse is; `point ACTION...` moves it.
plug_mouse() {
  mkfifo "$work/mouse"
  "$pointer" - <"$work/mouse" &
  mouse=$!
  exec 3>"$work/mouse"
  point move 600 400 "$layout_w" "$layout_h"
  local started
  started=$(now_ms)
  until swaymsg -t get_inputs -r | grep -q '"type": "pointer"'; do
    (($(now_ms) - started < 10000 * slow)) || fail "no virtual pointer in sway's inputs"
    sleep 0.05
  done
}
point() { echo "$*" >&3; }

# A keyboard of the default keymap, plugged in before the player starts; `keys ACTION...` types.
plug_keyboard() {
  mkfifo "$work/keyboard"
  "$build/tests/gui/wayland/virtual-keyboard" - <"$work/keyboard" &
  keyboard=$!
  exec 4>"$work/keyboard"
}
keys() { echo "$*" >&4; }

start() {
  "$player" --show "$work/show.scr" "$@" &
  show=$!
}

source "$(dirname "$0")/sway_picture.sh"

# Moves the pointer (input before the show has started is dropped by design) until something
# covers the middle of the picture on output 1: the password check over the show.
open_password_check() {
  local started difference=0 step=3
  started=$(now_ms)
  while (($(now_ms) - started < 10000 * slow)); do
    kill -0 "$show" 2>/dev/null || fail "the player ended before its password check"
    point motion $step 0
    step=$((-step))
    grim -t ppm "$work/screen.ppm" 2>/dev/null || true
    convert "$work/screen.ppm" -crop 200x100+412+334 +repage "$work/middle.png"
    convert "$work/picture.png" -crop 200x100+100+100 +repage "$work/expected.png"
    difference=$({ compare -metric AE "$work/middle.png" "$work/expected.png" null: 2>&1 || true; })
    [[ $difference != 0 ]] && return 0
    sleep 0.1
  done
  fail "no password check over the show within $((10 * slow)) s"
}

# Blackness of a region of the last screenshot (the largest channel value, 0 for black).
brightest() { convert "$work/screen.ppm" -crop "$1" +repage -format '%[fx:int(255*maxima)]' info:; }

# `expect_end WHAT [STATUS]`: the show ends, with STATUS (0), and leaves nothing.
expect_end() {
  local started
  started=$(now_ms)
  while kill -0 "$show" 2>/dev/null && (($(now_ms) - started < 5000 * slow)); do sleep 0.02; done
  kill -0 "$show" 2>/dev/null && fail "$1 did not end the show within $((5 * slow)) s"
  echo "$1 ended the show $(($(now_ms) - started)) ms later"
  local status=0
  wait "$show" || status=$?
  show=""
  ((status == ${2:-0})) || fail "the show ended with status $status after $1"
  [[ -z $(extractions) ]] || fail "the extraction folder stayed after $1: $(extractions)"
}

# Still running after the compositor has handled everything so far (a screenshot goes through
# it) and the player has had half a second to act on it.
expect_running() {
  grim -t ppm - >/dev/null
  sleep 0.5
  kill -0 "$show" 2>/dev/null || fail "$1 ended the show"
}

case $case in
  motion)
    plug_mouse
    start /S
    await_centred_picture
    [[ $(brightest 312x234+0+0) == 0 && $(brightest 1024x768+1024+0) == 0 ]] ||
      fail "not black around the area and on output 2"
    expect_running "the show appearing under the resting pointer"
    [[ -n $(extractions) ]] || fail "no extraction folder while the show runs"
    point motion 3 0
    expect_end "moving the pointer"
    ;;
  button)
    plug_mouse
    start /S
    await_centred_picture
    point click
    expect_end "a button"
    ;;
  key)
    start /S
    await_centred_picture
    # A key before the show has started is dropped by design: typed until one ends it.
    started=$(now_ms)
    while kill -0 "$show" 2>/dev/null && (($(now_ms) - started < 5000 * slow)); do
      wtype x
      sleep 0.1
    done
    expect_end "a key"
    ;;
  keyboards)
    # In a window of its own keys do not end the show, so one player meets them all.
    start --window
    await_centred_picture
    for _ in $(seq 50); do wtype -k Escape; done
    kill -0 "$show" 2>/dev/null || fail "the player failed while keyboards came and went"
    kill -TERM "$show"
    expect_end "SIGTERM"
    ;;
  scale)
    start /S
    # 1024 x 768 device pixels at scale 2: the picture centred in device pixels, 1:1.
    await_centred_picture
    ;;
  window)
    start --window
    convert "$work/picture.png" -resize 1024x768 "$work/fitted.png"
    started=$(now_ms)
    until (($(now_ms) - started > 10000 * slow)); do
      grim -t ppm "$work/screen.ppm" 2>/dev/null || true
      convert "$work/screen.ppm" -crop 1024x768+0+0 +repage "$work/window.png"
      difference=$({ compare -metric MAE "$work/window.png" "$work/fitted.png" null: 2>&1 || true; } |
        sed 's/.*(\(.*\)).*/\1/')
      awk -v d="$difference" 'BEGIN {exit !(d < 0.02)}' && break
      sleep 0.1
    done
    awk -v d="$difference" 'BEGIN {exit !(d < 0.02)}' ||
      fail "the window shows no show scaled to fit (mean difference $difference)"
    kill -TERM "$show"
    expect_end "SIGTERM"
    ;;
  fill | sharp)
    start /S --fit "$case"
    # The area as it should be on the 2048 x 1536 screenshot, and where.
    if [[ $case == fill ]]; then
      at=2048x1536+0+0
      convert "$work/picture.png" -resize '2048x1536!' "$work/expected.png"
    else
      at=1600x1200+224+168
      convert "$work/picture.png" -scale 200% "$work/expected.png"
    fi
    # Fill: close to ImageMagick's own enlarging (another filter); sharp: exactly its blocks.
    metric=AE limit=1
    [[ $case == fill ]] && metric=MAE limit=0.02
    started=$(now_ms)
    until (($(now_ms) - started > 10000 * slow)); do
      grim -t ppm "$work/screen.ppm" 2>/dev/null || true
      convert "$work/screen.ppm" -crop "$at" +repage "$work/area.png"
      difference=$({ compare -metric $metric "$work/area.png" "$work/expected.png" null: 2>&1 || true; } |
        sed 's/.*(\(.*\)).*/\1/')
      awk -v d="$difference" -v l=$limit 'BEGIN {exit !(d < l)}' && break
      sleep 0.1
    done
    awk -v d="$difference" -v l=$limit 'BEGIN {exit !(d < l)}' ||
      fail "no area of $at on the screen ($metric difference $difference)"
    [[ $(identify -format %wx%h "$work/screen.ppm") == 2048x1536 ]] ||
      fail "the screenshot is not of 2048 x 1536 device pixels"
    if [[ $case == fill ]]; then
      colours=""
      for corner in 0,0 2047,0 0,1535 2047,1535; do
        colours+=$(convert "$work/screen.ppm" -format "%[pixel:p{$corner}] " info:)
      done
      [[ $colours == "srgb(255,0,0) srgb(0,255,0) srgb(0,0,255) srgb(255,255,255) " ]] || fail "the corners are $colours"
    else
      [[ $(brightest 224x1536+0+0) == 0 && $(brightest 2048x168+0+0) == 0 ]] ||
        fail "not black around the area"
    fi
    kill -TERM "$show"
    expect_end "SIGTERM"
    ;;
  password)
    export XDG_CONFIG_HOME=$work/config
    mkdir -p "$XDG_CONFIG_HOME/slidesaver"
    echo "ScreenSaveUsePassword=1" >"$XDG_CONFIG_HOME/slidesaver/desktop.conf"
    "$(dirname "$0")/store_password.py" "let me in" "$XDG_CONFIG_HOME/slidesaver/password"
    plug_mouse
    plug_keyboard
    start /S
    await_centred_picture
    open_password_check
    keys type let key space type me key space type out key Return
    await_centred_picture
    expect_running "a wrong password"
    [[ -n $(extractions) ]] || fail "no extraction folder while the show goes on"
    open_password_check
    keys type let key space type me key space type in key Return
    expect_end "the right password"
    ;;
  outputs)
    plug_mouse
    start /S
    await_centred_picture
    swaymsg -t get_outputs -r | grep -o '"name": "[^"]*"' | sort >"$work/before"
    swaymsg create_output >/dev/null
    started=$(now_ms)
    until [[ -n ${plugged:-} ]]; do
      (($(now_ms) - started < 10000 * slow)) || fail "sway made no new output"
      sleep 0.05
      plugged=$(swaymsg -t get_outputs -r | grep -o '"name": "[^"]*"' | sort |
        comm -13 "$work/before" - | cut -d'"' -f4)
    done
    swaymsg output "$plugged" background '#ff0000' solid_color >/dev/null
    # Black, the show's overlay, as soon as it is on; red when the show has gone (below).
    covered() { [[ $(grim -o "$plugged" -t ppm - | convert - -format '%[fx:int(255*maxima)]' info:) == 0 ]]; }
    started=$(now_ms)
    until covered; do
      kill -0 "$show" 2>/dev/null || fail "the show ended when an output was plugged in"
      (($(now_ms) - started < 10000 * slow)) || fail "the new output $plugged was not covered"
      sleep 0.1
    done
    expect_running "an output plugged in"
    swaymsg output HEADLESS-2 disable >/dev/null
    await_centred_picture
    expect_running "an output that went"
    point motion 3 0
    expect_end "moving the pointer after the outputs changed"
    started=$(now_ms)
    while covered; do
      (($(now_ms) - started < 10000 * slow)) || fail "the new output $plugged was never red: nothing shows the cover was the show's"
      sleep 0.1
    done
    ;;
  hidden)
    export SLIDESAVER_PRESENT_RECORD=$work/presented.ppm
    centre() { convert "$SLIDESAVER_PRESENT_RECORD" -format '%[pixel:p{512,384}]' info: 2>/dev/null; }
    # Waits for the window's last commit to show COLOUR at its centre.
    committed() {
      local expected started
      expected=$(convert "$work/$1.png" -format '%[pixel:p{0,0}]' info:)
      started=$(now_ms)
      until [[ $(centre) == "$expected" ]]; do
        kill -0 "$show" 2>/dev/null || fail "the player ended before a $1 commit"
        (($(now_ms) - started < 10000 * slow)) || fail "no $1 commit ($2)"
        sleep 0.05
      done
    }
    start --window
    committed red "on display"
    swaymsg "[pid=$show] move to workspace 2" >/dev/null
    grim -t ppm "$work/screen.ppm"
    [[ $(brightest 1024x768+0+0) == 0 ]] || fail "the window is still on display"
    # Blue, red and blue again: at least one whole transition while hidden.
    for colour in blue red blue; do committed $colour "while hidden"; done
    kill -TERM "$show"
    expect_end "SIGTERM"
    ;;
  stopped)
    start /S
    await_centred_picture
    kill -STOP "$SWAY_PID"
    kill -TERM "$show"
    expect_end "SIGTERM with sway stopped"
    kill -CONT "$SWAY_PID"
    ;;
  lost)
    "$player" --show "$work/show.scr" /S 2>"$work/err" &
    show=$!
    await_centred_picture
    swaymsg exit >/dev/null || true
    expect_end "sway's end" 1
    grep -q "the Wayland compositor closed the connection" "$work/err" ||
      fail "the player did not say why it ended: $(cat "$work/err")"
    ;;
  *) fail "no such case" ;;
esac
echo "passed: $case"
