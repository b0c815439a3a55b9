#!/usr/bin/env bash
# The idle watcher's systemd user unit, installed into a temporary prefix: systemd-analyze
# verifies it (its commands exist, its specifiers and settings are known), and its defaults
# name the installed player and demo.
#   idle-unit-test.sh BUILD-DIR
set -euo pipefail
build=$(realpath "$1")
if ! command -v systemd-analyze >/dev/null; then
  echo "SKIP: no systemd-analyze (Debian's systemd package)"
  exit 0
fi
work=$(mktemp -d "${TMPDIR:-/tmp}/idle-unit-test.XXXXXX")
trap 'rm -rf "$work"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}
prefix=$work/prefix
cmake --install "$build" --prefix "$prefix" >/dev/null
unit=$prefix/lib/systemd/user/slidesaver-idle.service
[[ -f $unit ]] || fail "the install left out $unit"
mkdir -m 700 "$work/run"
# verify reads the Documentation= man page too: the installed one.
XDG_RUNTIME_DIR=$work/run MANPATH=$prefix/share/man systemd-analyze --user verify "$unit" ||
  fail "systemd-analyze verify rejects the unit"
grep -qx "ExecStart=$prefix/bin/slidesaver --idle \${SLIDESAVER_IDLE_SECONDS} --show \${SLIDESAVER_IDLE_SHOW}" "$unit" ||
  fail "the unit does not start the installed player: $(grep ExecStart "$unit")"
show=$(sed -n 's/^Environment=SLIDESAVER_IDLE_SHOW=//p' "$unit")
[[ -f $show && $show == "$prefix/share/slidesaver/demo.scr" ]] || fail "the default show is not the demo: $show"
grep -qx 'EnvironmentFile=-%E/slidesaver/idle.conf' "$unit" || fail "the unit reads no idle.conf"
echo "the unit verifies, starts $prefix/bin/slidesaver --idle with the installed demo by default"
