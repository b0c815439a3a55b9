#!/usr/bin/env bash
# The player's --folder on hostile folders under Xvfb: for each case, how long until its window
# shows, its peak resident memory, and how long SIGTERM takes to end it (the median and the
# maximum of five runs, each sent while the case's trouble goes on), with its exit status and
# what it said. Then a picture rewritten in place for a minute.
#   tests/gui/run-with-xvfb.sh bench/folder_hostile.sh [build-dir]   (default: build/release)
#   REWRITE_SECONDS=60 RUNS=5 are the defaults.
set -uo pipefail
root=$(cd "$(dirname "$0")/.." && pwd)
build=$(cd "${1:-$root/build/release}" && pwd)
runs=${RUNS:-5}
rewrite_seconds=${REWRITE_SECONDS:-60}
work=$(mktemp -d "${TMPDIR:-/tmp}/folder-hostile.XXXXXX")
chmod 755 "$work"
writers=()
cleanup() {
  for pid in "${writers[@]}"; do kill "$pid" 2>/dev/null; done
  chmod -R u+rwx "$work" 2>/dev/null
  rm -rf "$work"
}
trap cleanup EXIT
export SDL_AUDIODRIVER=dummy XDG_CONFIG_HOME="$work/config"

now() { date +%s.%N; }
elapsed() { awk -v a="$1" -v b="$2" 'BEGIN { printf "%.3f", b - a }'; }

picture() {  # picture FILE WIDTHxHEIGHT COLOUR
  convert -size "$2" "xc:$3" -quality 90 "$1"
}

# The slow picture: a progressive JPEG of 8192 x 8192 in 498 scans, within every bound.
g++ -std=c++20 -O2 -I"$root" -x c++ - -o "$work/slow-jpeg" <<'EOF'
#include <cstdio>
#include "tests/jpeg_test_files.h"
int main(int, char** argv) {
  const auto b = slidesaver::testing::ProgressiveGreyJpeg(8192, 8192, 498);
  FILE* f = std::fopen(argv[1], "wb");
  std::fwrite(b.data(), 1, b.size(), f);
  std::fclose(f);
}
EOF

# Each case's folder, made once.
make_cases() {
  local c="$work/cases"
  mkdir -p "$c"
  mkdir -p "$c/rewrite" && picture "$c/rewrite/a.jpg" 1600x1200 red &&
    picture "$c/rewrite/b.jpg" 1600x1200 blue
  mkdir -p "$c/renamed" && picture "$c/renamed/a.jpg" 800x600 green
  mkdir -p "$c/unreadable" && picture "$c/unreadable/a.jpg" 800x600 green
  mkdir -p "$c/future" && head -c 2000 "$c/rewrite/a.jpg" >"$c/future/broken.jpg" &&
    touch -d '+1 year' "$c/future/broken.jpg"
  for n in 2 3; do
    mkdir -p "$c/self-links-$n" && picture "$c/self-links-$n/a.jpg" 800x600 red
    for l in $(seq 1 "$n"); do ln -s . "$c/self-links-$n/link$l"; done
  done
  mkdir -p "$c/link-to-root" && picture "$c/link-to-root/a.jpg" 800x600 red &&
    ln -s / "$c/link-to-root/root"
  mkdir -p "$c/chain" && python3 - "$c/chain" <<'EOF'
import os, sys
os.chdir(sys.argv[1])
for _ in range(3000):
    os.mkdir("d")
    os.chdir("d")
os.system("convert -size 64x64 xc:red bottom.jpg")
EOF
  mkdir -p "$c/slow" && "$work/slow-jpeg" "$c/slow/slow.jpg"
  mkdir -p "$c/being-written"
  mkdir -p "$c/files-20000" && picture "$c/files-20000/a.jpg" 800x600 red &&
    python3 -c "
import sys
for i in range(20000): open(f'$c/files-20000/file-{i:05}.txt', 'w').write('not a picture')"
  mkdir -p "$c/padded" && cp "$c/rewrite/a.jpg" "$c/padded/a.jpg" &&
    truncate -s +900M "$c/padded/a.jpg"
  mkdir -p "$c/burst" && picture "$c/burst/a.jpg" 800x600 red
  mkdir -p "$c/names" && picture "$c/names/a.jpg" 800x600 red &&
    head -c 3000 "$c/rewrite/a.jpg" >"$c/names/$(printf 'bad\nline\e[31m.jpg')" &&
    touch -d '-1 hour' "$c/names/"* && picture "$c/names/secret.jpg" 800x600 red &&
    chmod 000 "$c/names/secret.jpg" && echo "not music" >"$c/names/music.mid"
}

# start CASE-FOLDER [as-nobody] [extra options...]: the player's pid in $pid, started at $started.
start() {
  local folder=$1 user=$2
  shift 2
  local run=(env)
  [[ $user == nobody ]] && run=(setpriv --reuid=nobody --regid=nogroup --clear-groups env)
  mkdir -p "$work/run" && chmod 777 "$work/run"
  rm -f "$work/log"
  started=$(now)
  XDG_RUNTIME_DIR="$work/run" "${run[@]}" "$build/slidesaver" --folder "$folder" --time 500 "$@" \
    /S 2>"$work/log" &
  pid=$!
}

# Seconds until the player's window shows (or "-" after 10 s).
window_after() {
  local end=$(($(date +%s) + 10))
  while (($(date +%s) < end)); do
    if xdotool search --onlyvisible --pid "$pid" >/dev/null 2>&1; then
      elapsed "$started" "$(now)"
      return
    fi
    sleep 0.02
  done
  echo "-"
}

peak_mib() { awk '/VmHWM/ { printf "%.0f", $2 / 1024 }' "/proc/$pid/status" 2>/dev/null || echo "-"; }

# SIGTERM now: the seconds until the player ended in $took, its status in $status.
term() {
  local sent
  sent=$(now)
  kill -TERM "$pid"
  wait "$pid"
  status=$?
  took=$(elapsed "$sent" "$(now)")
}

median_max() { sort -n | awk '{ v[NR] = $1 } END { printf "%.3f / %.3f", v[int((NR + 1) / 2)], v[NR] }'; }

# run_case NAME FOLDER USER DELAY ACTION... : five runs; ACTION runs DELAY s after the start.
run_case() {
  local name=$1 folder=$2 user=$3 delay=$4
  shift 4
  local latencies=() statuses="" shown="" peak=0 lines=0
  for ((i = 0; i < runs; ++i)); do
    start "$folder" "$user" "${extra[@]}"
    shown=$(window_after)
    sleep "$delay"
    [[ $# -gt 0 ]] && "$@"
    sleep 1
    local p
    p=$(peak_mib)
    [[ $p != - ]] && ((p > peak)) && peak=$p
    term
    latencies+=("$took")
    statuses+="$status "
    lines=$(wc -l <"$work/log")
    [[ $# -gt 0 ]] && undo_action
    # The instance claims' lock file stays for every show; anything else would be left behind.
    leftover=$(cd "$work/run" && find . -mindepth 1 ! -path ./slidesaver ! -path ./slidesaver/instances.lock)
  done
  printf '%-24s %7s s %6s MiB  %s s  status %s lines %s%s\n' "$name" "$shown" "$peak" \
    "$(printf '%s\n' "${latencies[@]}" | median_max)" "$(echo $statuses | tr ' ' '\n' | sort -u | tr '\n' ' ')" \
    "$lines" "${leftover:+  left behind: $leftover}"
}

undo_action() { :; }
rename_away() { mv "$work/cases/renamed" "$work/cases/renamed-away"; }
chmod_away() { chmod 000 "$work/cases/unreadable"; }
burst() { for i in $(seq 1 2000); do cp "$work/cases/burst/a.jpg" "$work/cases/burst/new-$i.jpg"; done; }

make_cases
extra=()
echo "case                      window        peak  SIGTERM median / max"
undo_action() { mv "$work/cases/renamed-away" "$work/cases/renamed"; }
run_case "renamed while playing" "$work/cases/renamed" root 1 rename_away
undo_action() { chmod 755 "$work/cases/unreadable"; }
run_case "permission lost" "$work/cases/unreadable" nobody 1 chmod_away
undo_action() { :; }
run_case "broken, dated ahead" "$work/cases/future" root 1
run_case "two self-links" "$work/cases/self-links-2" root 1
run_case "three self-links" "$work/cases/self-links-3" root 1
run_case "link to /" "$work/cases/link-to-root" root 1
run_case "--folder /" / root 1
run_case "--folder /proc" /proc root 1
run_case "3000-level chain" "$work/cases/chain" root 1
run_case "slow picture" "$work/cases/slow" root 1
# The only picture is written slowly for as long as the case runs.
writer_of_slow() {
  (for i in $(seq 1 100); do head -c $((i * 3000)) "$work/cases/rewrite/a.jpg" \
    >"$work/cases/being-written/a.jpg"; sleep 0.1; done) &
  writers+=($!)
}
undo_action() { kill "${writers[-1]}" 2>/dev/null; wait "${writers[-1]}" 2>/dev/null; rm -f "$work/cases/being-written/a.jpg"; }
run_case "picture being written" "$work/cases/being-written" root 0 writer_of_slow
undo_action() { :; }
run_case "20,000 files (walk)" "$work/cases/files-20000" root 0
run_case "900 MiB of padding" "$work/cases/padded" root 2
undo_action() { rm -f "$work/cases/burst/new-"*; }
run_case "2,000 arrivals" "$work/cases/burst" root 0 burst
undo_action() { :; }
extra=(--music "$work/cases/names/music.mid")
run_case "names and messages" "$work/cases/names" nobody 2
echo "  what it said:"
sed 's/^/    /' "$work/log"
extra=()

# A picture rewritten in place (truncated, then written in pieces) while the show plays.
python3 - "$work/cases/rewrite/a.jpg" "$rewrite_seconds" <<'EOF' &
import os, sys, time
path, seconds = sys.argv[1], float(sys.argv[2])
data = open(path, "rb").read()
end = time.time() + seconds + 2
while time.time() < end:
    with open(path, "r+b") as f:
        f.truncate(0)
        for at in range(0, len(data), 8192):
            f.write(data[at:at + 8192])
            f.flush()
EOF
writers+=($!)
start "$work/cases/rewrite" root
sleep "$rewrite_seconds"
if kill -0 "$pid" 2>/dev/null; then
  peak=$(peak_mib)
  term
  echo "rewritten in place for $rewrite_seconds s: still playing, peak $peak MiB, SIGTERM $took s," \
    "status $status"
else
  wait "$pid"
  echo "rewritten in place: the player ended early with status $?"
fi
