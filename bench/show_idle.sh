#!/usr/bin/env bash
# What a displayed slide costs: the player's wakeups per second, per thread and in all, and its
# processor use while a slide stays on a 1024x768 screen under Xvfb, in four shows: slides
# alone, slides with a short sound each, slides with the demo show's MIDI music, and slides with
# a denser MIDI piece (chords on strings and a melody); the slides alone also as a screen
# saver's program on the root window (--root), in a 320x240 preview (--window-id, scaled) and
# enlarged by --fit fill on a 2048x1536 screen. Then the idle watcher (--idle) while it waits:
# its wakeups per second and its resident memory.
# Then how late the display wait ends against the real clock.
#   bench/show_idle.sh [build-dir]        (default: build/release)
# SHOW_IDLE_CASES="midi midi-dense" measures only some of the shows (still sounds midi
# midi-dense watcher). SHOW_IDLE_WAYLAND=1 measures the shows on a headless sway instead, in the
# Wayland show window (the X screen saver's cases and the wait probe are X11's only).
set -euo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
cmake --build "$build" -j2 --target slidesaver slidesaver-idle show-wait-probe slidepack demo test-window \
  >/dev/null

show_work=$(mktemp -d "${TMPDIR:-/tmp}/show-idle.XXXXXX")
trap 'rm -rf "$show_work"' EXIT
mkdir -m 700 "$show_work/run"
for n in 1 2 3; do
  convert -size 1024x768 "gradient:#20${n}080-#e0c0${n}0" "$show_work/picture$n.jpg"
done
python3 - "$show_work" <<'PY'
import math, struct, sys
work = sys.argv[1]
# A 0.3 s tone, 16-bit mono PCM at 22050 Hz.
rate, n = 22050, 6615
data = b"".join(struct.pack("<h", int(9000 * math.sin(2 * math.pi * 660 * i / rate))) for i in range(n))
with open(f"{work}/sound.wav", "wb") as f:
    f.write(b"RIFF" + struct.pack("<I", 36 + len(data)) + b"WAVEfmt " +
            struct.pack("<IHHIIHH", 16, 1, 1, rate, rate * 2, 2, 16) + b"data" +
            struct.pack("<I", len(data)) + data)
# Two minutes of MIDI: a three-note chord each second and a melody note every quarter second.
def vlq(v):
    out = [v & 0x7F]
    v >>= 7
    while v:
        out.insert(0, 0x80 | (v & 0x7F))
        v >>= 7
    return bytes(out)
events = bytearray(b"\x00\xC0\x00\x00\xC1\x30")  # piano on channel 0, strings on channel 1
tick = 0  # 96 ticks a beat at 120 beats a minute: 48 ticks a quarter second
melody = [60, 62, 64, 65, 67, 69, 71, 72]
for second in range(120):
    root = [48, 53, 55, 50][second % 4]
    for k, note in enumerate((root, root + 4, root + 7)):
        events += vlq(0) + bytes([0x91, note, 70])
    for q in range(4):
        note = melody[(second * 4 + q) % len(melody)]
        events += vlq(0) + bytes([0x90, note, 90]) + vlq(48) + bytes([0x80, note, 0])
    for note in (root, root + 4, root + 7):
        events += vlq(0) + bytes([0x81, note, 0])
events += b"\x00\xFF\x2F\x00"
with open(f"{work}/dense.mid", "wb") as f:
    f.write(b"MThd" + struct.pack(">IHHH", 6, 0, 1, 96) + b"MTrk" + struct.pack(">I", len(events)) + events)
PY

# One show file per case: three slides of 6 s each, wiped in.
make_show() {  # name, extra root lines, extra slide lines
  {
    echo 'width = 1024'
    echo 'height = 768'
    echo 'background = "#000000"'
    echo "$2"
    for n in 1 2 3; do
      printf '\n[[slide]]\npicture = "picture%s.jpg"\ntime = 6000\neffect = 19\n%s\n' "$n" "$3"
    done
  } >"$show_work/$1.toml"
  "$build/slidepack" build "$show_work/$1.toml" -o "$show_work/$1.scr" \
    --player "$build/slidesaver" >/dev/null
}
make_show still "" ""
make_show sounds "" 'sound = "sound.wav"'
cp "$build/demo/music.mid" "$show_work/music.mid"
make_show midi 'music = "music.mid"' ""
make_show midi-dense 'music = "dense.mid"' ""

# Samples the player while it plays a show, started with the given arguments.
sample() {  # label, show, arguments
  "$show_work/$2.scr" "${@:3}" &
  local pid=$!
  sleep 2  # set-up and the first picture
  kill -0 "$pid" || { echo "the player ended early" >&2; return 1; }
  python3 "$root/bench/show_idle_sample.py" "$pid" 26 "$1"
  kill -TERM "$pid"
  wait "$pid" || true
}

# The idle watcher with an hour's idle time, so that it waits all along; no input comes.
sample_watcher() {
  "$build/slidesaver" --idle 3600 --show "$show_work/still.scr" &
  local pid=$!
  sleep 2  # set-up
  python3 "$root/bench/show_idle_sample.py" "$pid" 26 "idle watcher, waiting"
  awk '/^VmRSS|^VmHWM/ {printf "  %s %.1f MiB\n", $1, $2 / 1024}' "/proc/$pid/status"
  kill -TERM "$pid"
  wait "$pid"
}

measure() {
  export SDL_AUDIODRIVER=dummy
  if [[ -n ${SHOW_IDLE_WAYLAND:-} ]]; then  # sway's runtime folder holds its socket
    for show in ${SHOW_IDLE_CASES:-still sounds midi midi-dense watcher}; do
      if [[ $show == watcher ]]; then
        sample_watcher
      else
        sample "$show, Wayland" "$show" /S
      fi
    done
    return
  fi
  export XDG_RUNTIME_DIR="$show_work/run"
  for show in ${SHOW_IDLE_CASES:-still sounds midi midi-dense watcher}; do
    if [[ $show == watcher ]]; then
      sample_watcher
    else
      sample "$show" "$show" /S
    fi
  done
  if [[ -z ${SHOW_IDLE_CASES:-} ]]; then
    sample "still, --root" still --root
    coproc preview { "$build/tests/gui/saver/test-window" 320 240 0 0; }
    local window
    read -r -u "${preview[0]}" window
    sample "still, --window-id 320x240 scaled" still --window-id "$window"
    exec {preview[1]}>&-
  fi
  "$build/tests/gui/show/show-wait-probe" 500
}
# The still show scaled by --fit fill to a screen twice its size: a slide that stays is not
# scaled again.
measure_fit() {
  export XDG_RUNTIME_DIR="$show_work/run" SDL_AUDIODRIVER=dummy
  sample "still, --fit fill on 2048x1536" still --fit fill /S
}
export show_work build root SHOW_IDLE_CASES SHOW_IDLE_WAYLAND
export -f measure measure_fit sample sample_watcher
uptime
if [[ -n ${SHOW_IDLE_WAYLAND:-} ]]; then
  chmod -R a+rX "$show_work"  # sway and the player run as nobody when this runs as root
  "$root/tests/gui/wayland/run-with-sway.sh" -- bash -c measure
  exit
fi
"$root/tests/gui/run-with-xvfb.sh" bash -c measure
if [[ -z ${SHOW_IDLE_CASES:-} ]]; then
  XVFB_SCREEN=2048x1536x24 "$root/tests/gui/run-with-xvfb.sh" bash -c measure_fit
fi
