#!/usr/bin/env bash
# Runs a command on a headless sway of its own (no GPU, no input devices, pixman rendering):
#   run-with-sway.sh [--outputs N] [--scale S] [--size WxH] -- COMMAND [ARGUMENTS...]
# N outputs (HEADLESS-1 ... HEADLESS-N, default 1) of WxH (default 1024x768) side by side, each of
# scale S (default 1). sway refuses root: as root, sway and the command run as nobody. The command
# gets WAYLAND_DISPLAY, XDG_RUNTIME_DIR (a folder of its own, mode 0700), SWAYSOCK, SWAY_PID and
# HOME, and no DISPLAY; its status is returned. Only the sway started here is stopped, by its pid.
set -uo pipefail
outputs=1
scale=1
size=1024x768
while (($#)); do
  case $1 in
    --outputs) outputs=$2; shift 2 ;;
    --scale) scale=$2; shift 2 ;;
    --size) size=$2; shift 2 ;;
    --) shift; break ;;
    *) break ;;
  esac
done
if (($# == 0)) || ! [[ $outputs =~ ^[1-9]$ && $scale =~ ^[1-4]$ && $size =~ ^[0-9]+x[0-9]+$ ]]; then
  echo "usage: $0 [--outputs 1-9] [--scale 1-4] [--size WxH] -- command [arguments...]" >&2
  exit 2
fi

work=$(mktemp -d "${TMPDIR:-/tmp}/sway.XXXXXX") || exit 1
chmod 755 "$work"
mkdir -m 700 "$work/run" && mkdir "$work/home"
as_user=()
if ((EUID == 0)); then
  chown 65534:65534 "$work/run" "$work/home"
  as_user=(setpriv --reuid=65534 --regid=65534 --clear-groups)
fi
width=${size%x*}
{
  for ((i = 1; i <= outputs; i++)); do
    echo "output HEADLESS-$i resolution $size position $(((i - 1) * width / scale)) 0 scale $scale"
  done
  # Plain black desktop, no bar: screenshots show only what clients draw.
  echo "output * background #000000 solid_color"
  echo "default_border none"
} >"$work/config"

sway_pid=""
stop() {
  # Continued first: the command may have stopped it.
  if [[ -n $sway_pid ]]; then kill -CONT "$sway_pid" 2>/dev/null; kill "$sway_pid" 2>/dev/null && wait "$sway_pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap stop EXIT
trap 'exit 130' INT TERM

"${as_user[@]}" env -i HOME="$work/home" XDG_RUNTIME_DIR="$work/run" PATH="$PATH" \
  WLR_BACKENDS=headless WLR_LIBINPUT_NO_DEVICES=1 WLR_RENDERER=pixman \
  sway -c "$work/config" >"$work/log" 2>&1 &
sway_pid=$!

# Generous: a loaded machine may take seconds to start sway.
deadline=$((SECONDS + 30))
sock=""
display=""
until [[ -n $sock ]] && "${as_user[@]}" env SWAYSOCK="$sock" swaymsg -t get_outputs >/dev/null 2>&1; do
  if ! kill -0 "$sway_pid" 2>/dev/null || ((SECONDS > deadline)); then
    echo "sway did not start:" >&2
    tail -n 30 "$work/log" >&2
    exit 1
  fi
  sleep 0.05
  sock=$(compgen -G "$work/run/sway-ipc.*.sock" | head -n1)
done
display=$(cd "$work/run" && compgen -G "wayland-*" | grep -v '\.lock$' | head -n1)
for ((i = 2; i <= outputs; i++)); do
  "${as_user[@]}" env SWAYSOCK="$sock" swaymsg create_output >/dev/null
done
until (($("${as_user[@]}" env SWAYSOCK="$sock" swaymsg -t get_outputs -r | grep -c '"name": "HEADLESS-') == outputs)); do
  if ((SECONDS > deadline)); then
    echo "sway made no $outputs outputs in time" >&2
    exit 1
  fi
  sleep 0.05
done

"${as_user[@]}" env -u DISPLAY HOME="$work/home" XDG_RUNTIME_DIR="$work/run" \
  WAYLAND_DISPLAY="$display" SWAYSOCK="$sock" SWAY_PID="$sway_pid" "$@"
