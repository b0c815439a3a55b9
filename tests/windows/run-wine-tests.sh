#!/usr/bin/env bash
# The Windows build under Wine: cross-builds the Windows tree (the player, a test driver, a
# stand-in password.cpl and the Win32 platform's GoogleTest program), then on a virtual display
# of its own and in a fresh WINEPREFIX runs the platform tests and drives the real slidesaver.scr:
# /P, /A, /S (screenshots, mouse, keyboard, clean-up, single instance, password path, error box,
# transitions), /C (message box, settings dialog, a failing save).
#
#   run-wine-tests.sh [--build-dir DIR] [--host-tool PATH-TO-make_test_scr] [--host-build DIR]
#
# The host tool and slidepack with the demo show come from a Linux build (--host-build, by
# default build/release); the demo show is packed with the Windows player and played as well.
# The Windows tree is --build-dir, by default the one the Linux build makes its Windows player
# in (its windows-i686 folder).
#
# Needs: wine + wine32 (i386), g++-mingw-w64-i686, cmake, ninja, Xvfb, xdotool, imagemagick.
set -euo pipefail
here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=""
host_tool=""
host_build=""
inner=0
while (($#)); do
  case "$1" in
    --build-dir) build=$(realpath -m "$2"); shift 2 ;;
    --host-tool) host_tool=$(realpath "$2"); shift 2 ;;
    --host-build) host_build=$(realpath "$2"); shift 2 ;;
    --inner) inner=1; shift ;;
    *) echo "usage: $0 [--build-dir DIR] [--host-tool PATH]" >&2; exit 2 ;;
  esac
done

if ((!inner)); then
  for tool in wine wineserver i686-w64-mingw32-g++ cmake ninja Xvfb xdotool import convert; do
    command -v "$tool" >/dev/null || { echo "run-wine-tests: $tool is missing" >&2; exit 1; }
  done
  if [[ -z "$host_build" ]]; then
    if [[ -n "$host_tool" ]]; then
      host_build=$(cd "$(dirname "$host_tool")/../.." && pwd)
    else
      host_build="$root/build/release"
    fi
  fi
  build=${build:-$host_build/windows-i686}
  echo "== cross build in $build"
  "$root/cmake/cross-build-windows.sh" "$build" slidesaver wine_driver password_stub win32_platform_tests
  if [[ -z "$host_tool" ]]; then
    [[ -f "$host_build/CMakeCache.txt" ]] || (cd "$root" && cmake --preset release -B "$host_build" >/dev/null)
    cmake --build "$host_build" -j2 --target make_test_scr
    host_tool="$host_build/tests/windows/make_test_scr"
  fi
  exec "$root/tests/gui/run-with-xvfb.sh" "$0" --inner --build-dir "$build" --host-tool "$host_tool" \
    --host-build "$host_build"
fi

# ---------------------------------------------------------------- on the virtual display
work=$(mktemp -d "${TMPDIR:-/tmp}/wine-tests.XXXXXX")
export WINEPREFIX="$work/prefix" WINEARCH=win32 WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="
cleanup() {
  wineserver -k 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

failures=0
pass() { echo "  ok   $*"; }
artifacts="$build/wine-test-failures"  # the last screenshot before each failure
rm -rf "$artifacts"
fail() {
  echo "  FAIL $*"
  failures=$((failures + 1))
  if [[ -f $work/shot.png ]]; then
    mkdir -p "$artifacts"
    cp "$work/shot.png" "$artifacts/$failures.png"
    echo "       screenshot: $artifacts/$failures.png"
  fi
}
check() {  # check "description" command...
  local what=$1
  shift
  if "$@"; then pass "$what"; else fail "$what"; fi
}

echo "== fresh WINEPREFIX"
wineboot -i >/dev/null 2>&1
wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /d "" /f >/dev/null 2>&1  # no sound device
# Message boxes draw with MS Shell Dlg, which is Tahoma here (on code page 1252), a font this
# machine lacks: Wine puts IPA Gothic in its place, so they draw Japanese as Japanese Windows does.
wine reg add 'HKCU\Software\Wine\Fonts\Replacements' /v Tahoma /d IPAGothic /f >/dev/null 2>&1
wineserver -w

saver="$WINEPREFIX/drive_c/saver"
windir="$WINEPREFIX/drive_c/windows"
mkdir -p "$saver" "$work/pictures"
cp "$build/tests/windows/wine_driver.exe" "$saver/"
driver() { wine 'C:\saver\wine_driver.exe' "$@" 2>/dev/null | tr -d '\r'; }

echo "== the Win32 platform's own tests"
pictures="$work/pictures"
convert -size 40x30 xc:red "jpeg:$pictures/red-jpeg"
convert -size 10x10 xc:blue -size 10x10 xc:yellow +append "gif:$pictures/halves-gif"
cp "$build/tests/windows/win32_platform_tests.exe" "$saver/"
if SLIDESAVER_TEST_PICTURES=$(winepath -w "$pictures" 2>/dev/null) \
  wine 'C:\saver\win32_platform_tests.exe' --gtest_brief=1 2>&1 | tr -d '\r' >"$work/unit.log"; then
  pass "win32_platform_tests"
else
  cat "$work/unit.log"
  fail "win32_platform_tests"
fi
grep -E '^\[  (PASSED|FAILED|SKIPPED)' "$work/unit.log" | sed 's/^/       /' || true

# A Japanese locale of our own (no root needed): Wine then uses the ANSI code page 932.
mkdir -p "$work/locale"
localedef -i ja_JP -f UTF-8 "$work/locale/ja_JP.UTF-8" >/dev/null 2>&1 || true
[[ -f $work/locale/ja_JP.UTF-8/LC_CTYPE ]] || fail "a Japanese locale can be made (localedef)"
japanese() { LOCPATH="$work/locale" LANG=ja_JP.UTF-8 LC_ALL=ja_JP.UTF-8 "$@"; }
if japanese wine 'C:\saver\win32_platform_tests.exe' --gtest_brief=1 \
  --gtest_filter='PathSeparatorTest.*:FileSystemTest.*:TextTest.*:ProcessTest.*' 2>&1 |
  tr -d '\r' >"$work/unit-ja.log" && grep -q 'code page 932' "$work/unit-ja.log"; then
  pass "win32_platform_tests on code page 932"
else
  cat "$work/unit-ja.log"
  fail "win32_platform_tests on code page 932"
fi

echo "== test screen savers"
convert -size 400x300 xc:'#ff0000' -quality 95 "$work/red.jpg"
convert -size 800x600 xc:'#00ff00' "BMP3:$work/green.bmp"
convert -size 800x600 xc:'#0000ff' "$work/blue.gif"
printf 'this is not a picture' >"$work/bad.jpg"
player="$build/slidesaver.scr"
make_scr() { "$host_tool" "$player" "$saver/$1" "${@:2}"; }
# The show area is 800 x 600 on a dark blue background (0x00BBGGRR 0x400000), the red picture of
# 400 x 300 at 200, 150 in it: on a 1024 x 768 screen the area spans 112..911 x 84..683 and the
# picture 312..711 x 234..533.
make_scr show.scr 800x600 0x400000 0 "0=$work/red.jpg:60000:200:150:0" "1=$work/green.bmp:60000:0:0:0"
make_scr settings.scr 800x600 0 1 "0=$work/red.jpg:60000:0:0:0"
make_scr cycle.scr 800x600 0 0 "a=$work/red.jpg:400:200:150:30" "b=$work/green.bmp:400:0:0:4" \
  "c=$work/blue.gif:400:0:0:0"
make_scr bad.scr 800x600 0 0 "x=$work/bad.jpg:1000:0:0:0"
pass "slidesaver.scr with four Packages"

shot="$work/shot.png"
screenshot() { import -window root "$shot" 2>/dev/null; }
pixel() { convert "$shot" -format "%[hex:p{$1,$2}]" info: 2>/dev/null | cut -c1-6; }
near() {  # near RRGGBB RRGGBB: every channel within 16 (JPEG pictures are not exact)
  local a=$1 b=$2 i
  for i in 0 2 4; do
    local d=$((16#${a:i:2} - 16#${b:i:2}))
    ((d <= 16 && d >= -16)) || return 1
  done
}
pixel_near() { near "$(pixel "$1" "$2")" "$3"; }
# Keys go to the window under the pointer (no window manager): the pointer moves onto it first.
point_at() { xdotool mousemove $(driver centre "$1"); }
wait_for() {  # wait_for seconds command...: polls until the command succeeds
  local until=$((SECONDS + $1))
  shift
  until "$@"; do
    ((SECONDS < until)) || return 1
    sleep 0.2
  done
}
running() { kill -0 "$1" 2>/dev/null; }
abandon() {  # a show that failed its checks: stopped, and its folder removed by hand
  kill "$1" 2>/dev/null || true
  wait "$1" 2>/dev/null || true
  rm -rf "$windir"/temp[0-9]*
}
exits_with() {  # exits_with pid status seconds
  wait_for "$3" bash -c "! kill -0 $1 2>/dev/null" || { kill "$1" 2>/dev/null; return 1; }
  local status=0
  wait "$1" || status=$?
  [[ $status == "$2" ]] || { echo "       status $status, expected $2"; return 1; }
}
picture_on_screen() {
  screenshot
  pixel_near 400 300 FF0000
}
# The extraction folders, and everything of the player's in the Windows directory (the folders
# and their lock files temp<N>.lock).
temp_folders() { find "$windir" -maxdepth 1 -type d -iname 'temp[0-9]*' | wc -l; }
temp_entries() { find "$windir" -maxdepth 1 -iname 'temp[0-9]*' | wc -l; }
start() {  # start name args...: runs C:\saver\<name> in the background, pid in $started
  wine "C:\\saver\\$1" "${@:2}" >/dev/null 2>&1 &
  started=$!
}

# What Wine gives the X window titled $1 as its icon (_NET_WM_ICON, what a taskbar shows) is
# the program's icon at 32 and 16 pixels, pixel for pixel.
shows_program_icon() {
  local window
  for window in $(xdotool search --name "^$1\$"); do
    python3 - "$(xprop -notype -id "$window" 32c _NET_WM_ICON)" \
      "$build/platform/win32/resources/slidesaver.ico" <<'EOF' && return 0
import subprocess, sys
values = [int(v) & 0xFFFFFFFF for v in sys.argv[1].partition("=")[2].replace(",", " ").split()]
images = {}  # (width, height): ARGB pixels
while len(values) > 2:
    width, height = values[:2]
    images[width, height] = values[2:2 + width * height]
    values = values[2 + width * height:]
ico = sys.argv[2]
widths = subprocess.run(["identify", "-format", "%w\n", ico], capture_output=True, text=True)
for size in (32, 16):
    index = widths.stdout.split().index(str(size))
    rgba = subprocess.run(["convert", f"{ico}[{index}]", "-depth", "8", "rgba:-"],
                          capture_output=True, check=True).stdout
    argb = [a << 24 | r << 16 | g << 8 | b for r, g, b, a in zip(*[iter(rgba)] * 4)]
    if images.get((size, size)) != argb:
        sys.exit(1)
EOF
  done
  return 1
}

settings_dialog() {  # prints the dialog's window handle
  local found
  found=$(driver find SlidesaverSettings 30000) || return 1
  [[ ${found#* } == "設定" ]] || { echo "title ${found#* }" >&2; return 1; }
  echo "${found%% *}"
}

echo "== /P and /A"
start show.scr /P 1234
check "/P 1234 returns at once with status 0" exits_with "$started" 0 20
check "/P made no window, no folder and no settings file" \
  test "$(temp_folders)" = 0 -a ! -e "$saver/show.set"
start show.scr /a 567
check "/A 567 asks for the password change and returns" exits_with "$started" 0 20

echo "== /S: mouse movement"
# A folder left by a player that was killed: its lock file is there, but nobody holds it.
mkdir -p "$windir/temp1"
echo left >"$windir/temp1/left-over"
: >"$windir/temp1.lock"
xdotool mousemove 1000 700
start show.scr /S
show=$started
if wait_for 30 picture_on_screen; then
  pass "the first picture is on the screen"
  check "show area at 112,84 on black" \
    test "$(pixel 112 84)" = 000040 -a "$(pixel 111 84)" = 000000 -a "$(pixel 112 83)" = 000000
  check "show area ends at 911,683" \
    test "$(pixel 911 683)" = 000040 -a "$(pixel 912 683)" = 000000 -a "$(pixel 911 684)" = 000000
  check "picture spans 312..711 x 234..533" \
    eval 'pixel_near 312 234 FF0000 && pixel_near 711 533 FF0000 &&
      [[ $(pixel 311 234) == 000040 && $(pixel 712 533) == 000040 ]]'
  check "the pictures are extracted into C:\\windows\\temp1" \
    test -f "$windir/temp1/0" -a -f "$windir/temp1/1"
  check "the left-over folder was removed first, and temp1 taken again" \
    test ! -e "$windir/temp1/left-over"
  start show.scr /S
  check "a second instance ends at once" exits_with "$started" 0 20
  check "the second instance extracted nothing" test "$(temp_folders)" = 1
  check "temp1 is held by its lock file" test -f "$windir/temp1.lock"
  check "the show goes on meanwhile" running "$show"
  xdotool mousemove_relative 3 0
  check "a mouse movement ends the show" exits_with "$show" 0 20
  check "temp1 and its lock file are gone after the show" test "$(temp_entries)" = 0
else
  fail "the first picture is on the screen"
  abandon "$show"
fi

echo "== /S: key press"
start show.scr /s
show=$started
if wait_for 30 picture_on_screen; then
  xdotool key shift
  check "a key press (Shift) ends the show" exits_with "$show" 0 20
  check "temp1 is gone after the show" test "$(temp_folders)" = 0
else
  fail "the first picture is on the screen"
  abandon "$show"
fi

echo "== /S: closed by the system"
start show.scr /S
show=$started
if wait_for 30 picture_on_screen && window=$(driver find SlidesaverShowWindow 5000); then
  driver close "${window%% *}" >/dev/null
  check "WM_CLOSE ends the show through its shutdown" exits_with "$show" 0 20
  check "and its clean-up: the folder is gone" test "$(temp_folders)" = 0
else
  fail "the show window is found"
  abandon "$show"
fi

echo "== /S: transitions"
start cycle.scr /S
show=$started
seen=""
until=$((SECONDS + 20))
while ((SECONDS < until)) && [[ $seen != *R*G*B* ]]; do
  screenshot
  centre=$(pixel 512 384)
  if near "$centre" FF0000; then [[ $seen == *R ]] || seen+=R; fi
  if near "$centre" 00FF00; then [[ $seen == *G ]] || seen+=G; fi
  if near "$centre" 0000FF; then [[ $seen == *B ]] || seen+=B; fi
  sleep 0.1
done
check "three slides follow each other through ellipse and blinds ($seen)" \
  bash -c "[[ '$seen' == *R*G*B* ]]"
xdotool mousedown 1
xdotool mouseup 1
check "a mouse button ends the show" exits_with "$show" 0 20
check "its folder is gone" test "$(temp_folders)" = 0

echo "== /S: password switch"
wine reg add 'HKCU\Control Panel\desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f \
  >/dev/null 2>&1
cp "$build/tests/windows/password.cpl" "$saver/"
export PASSWORD_STUB_REFUSALS=1
start show.scr /S
show=$started
if wait_for 30 picture_on_screen; then
  xdotool key a
  check "the password is asked for over the show window" \
    wait_for 20 grep -qx window "$saver/password-calls.log"
  sleep 1
  check "a refused password goes back to the show" running "$show"
  check "the show starts again with its first picture" wait_for 20 picture_on_screen
  xdotool key b
  check "the accepted password ends the show" exits_with "$show" 0 20
  check "the password was asked for twice" test "$(grep -cx window "$saver/password-calls.log")" = 2
  check "the folder is gone" test "$(temp_folders)" = 0
else
  fail "the first picture is on the screen"
  abandon "$show"
fi
unset PASSWORD_STUB_REFUSALS
rm -f "$saver/password-calls.log"

wine reg add 'HKCU\Control Panel\desktop' /v ScreenSaveUsePassword /t REG_SZ /d 0 /f \
  >/dev/null 2>&1
start show.scr /S
show=$started
if wait_for 30 picture_on_screen; then
  xdotool key Escape
  check "the string \"0\" switches the password off" exits_with "$show" 0 20
  check "no password was asked for" test ! -e "$saver/password-calls.log"
else
  fail "the first picture is on the screen"
  abandon "$show"
fi

wine reg add 'HKCU\Control Panel\desktop' /v ScreenSaveUsePassword /t REG_DWORD /d 1 /f \
  >/dev/null 2>&1
rm -f "$saver/password.cpl"
start show.scr /S
show=$started
if wait_for 30 picture_on_screen; then
  xdotool key Return
  check "without password.cpl there is no check: the show ends" exits_with "$show" 0 20
  check "the folder is gone" test "$(temp_folders)" = 0
else
  fail "the first picture is on the screen"
  abandon "$show"
fi
wine reg delete 'HKCU\Control Panel\desktop' /v ScreenSaveUsePassword /f >/dev/null 2>&1

echo "== /S: a picture that can't be decoded"
start bad.scr /S
show=$started
if box=$(driver find '#32770' 30000); then
  hwnd=${box%% *}
  check "the error box is titled エラー" test "${box#* }" = "エラー"
  check "it says 不明のエラーが発生しました。" \
    bash -c "wine 'C:\\saver\\wine_driver.exe' children $hwnd 2>/dev/null | tr -d '\r' | grep -q '不明のエラーが発生しました。'"
  first_line_drawn() {  # 14 glyphs of many shapes; text without a font is a row of equal boxes
    screenshot
    read -r glyphs shapes < <("$here/text-shapes.sh" "$shot" $(driver rect "$hwnd" 65535))
    ((glyphs >= 12 && shapes >= 10))
  }
  check "the first line is drawn, not empty boxes" wait_for 10 first_line_drawn
  driver click "$hwnd" 2 >/dev/null || driver click "$hwnd" 1 >/dev/null
  check "the show ends after the box" exits_with "$show" 0 20
  check "its folder is gone" test "$(temp_folders)" = 0
else
  fail "an error box appears"
  abandon "$show"
fi

echo "== double-byte names on code page 932"
# The folder 表 and the picture names 表 and ソ end in the byte 0x5C, which is not a separator.
jp="$WINEPREFIX/drive_c/表"
mkdir -p "$jp"
"$host_tool" "$player" "$jp/jp.scr" 800x600 0x400000 1 \
  "$(printf '\x95\x5c')=$work/red.jpg:60000:200:150:0" "$(printf '\x83\x5c')=$work/green.bmp:60000:0:0:0"
japanese wine 'C:\表\jp.scr' /S >/dev/null 2>&1 &
show=$!
if wait_for 30 picture_on_screen; then
  pass "a show kept in C:\\表 reads its Package and shows 表"
  check "C:\\windows\\temp1 holds 表 and ソ" test -f "$windir/temp1/表" -a -f "$windir/temp1/ソ"
  xdotool mousemove_relative 0 4
  check "the show ends" exits_with "$show" 0 20
  check "its folder is gone" test "$(temp_folders)" = 0
else
  fail "a show kept in C:\\表 reads its Package and shows 表"
  ls -la "$windir"/temp[0-9]* "$jp" | sed 's/^/       /'
  abandon "$show"
fi
japanese wine 'C:\表\jp.scr' /C >/dev/null 2>&1 &
show=$!
if dialog=$(settings_dialog); then
  point_at "$dialog"
  xdotool key Return
  check "its settings dialog saves C:\\表\\jp.set" exits_with "$show" 0 20
  check "jp.set holds FF FF FF FF" test "$(od -An -tx1 "$jp/jp.set" | tr -d ' \n')" = ffffffff
else
  fail "the settings dialog of C:\\表\\jp.scr"
  abandon "$show"
fi

echo "== /C"
start show.scr /C
show=$started
if box=$(driver find '#32770' 30000); then
  hwnd=${box%% *}
  check "without settings: a box titled スクリーンセーバー" test "${box#* }" = "スクリーンセーバー"
  check "saying 設定項目はありません (the right text on a non-Japanese locale)" \
    bash -c "wine 'C:\\saver\\wine_driver.exe' children $hwnd 2>/dev/null | tr -d '\r' | grep -q '設定項目はありません'"
  point_at "$hwnd"
  xdotool key Return
  check "Enter (OK) ends the program" exits_with "$show" 0 20
else
  fail "a message box appears"
  abandon "$show"
fi

start settings.scr /c:1234
show=$started
if dialog=$(settings_dialog); then
  pass "with settings: the dialog 設定"
  check "no settings file: both ON" \
    test "$(driver checked "$dialog" 100)$(driver checked "$dialog" 102)" = 11
  check "the dialog's buttons" \
    bash -c "wine 'C:\\saver\\wine_driver.exe' children $dialog 2>/dev/null | tr -d '\r' | grep -q 'キャンセル'"
  check "the program's icon in its title bar and on the taskbar" shows_program_icon 設定
  driver click "$dialog" 101 >/dev/null
  sleep 0.5
  check "music OFF clears music ON only" \
    test "$(driver checked "$dialog" 100)$(driver checked "$dialog" 101)$(driver checked "$dialog" 102)" = 011
  point_at "$dialog"
  xdotool key Return
  check "Enter (OK) closes the dialog" exits_with "$show" 0 20
  check "settings.set holds 00 00 FF FF" \
    test "$(od -An -tx1 "$saver/settings.set" | tr -d ' \n')" = 0000ffff
else
  fail "with settings: the dialog 設定"
  abandon "$show"
fi

start settings.scr /C
show=$started
if dialog=$(settings_dialog); then
  check "the dialog shows the saved choices" \
    test "$(driver checked "$dialog" 101)$(driver checked "$dialog" 102)" = 11
  # The keyboard: Tab to the sound group, the arrow key to its "OFF".
  point_at "$dialog"
  xdotool key Tab
  sleep 0.3
  xdotool key Right
  sleep 0.5
  check "Tab and an arrow key choose sound OFF" \
    test "$(driver checked "$dialog" 102)$(driver checked "$dialog" 103)$(driver checked "$dialog" 101)" = 011
  xdotool key Escape
  check "Escape closes without saving" exits_with "$show" 0 20
  check "settings.set is unchanged" \
    test "$(od -An -tx1 "$saver/settings.set" | tr -d ' \n')" = 0000ffff
else
  fail "the dialog opens again"
  abandon "$show"
fi

echo "== the manifest: common controls 6"
WINEDEBUG=+loaddll wine 'C:\saver\settings.scr' /C >/dev/null 2>"$work/loaddll.log" &
show=$!
if dialog=$(settings_dialog); then
  check "the dialog's controls are the themed ones: comctl32 6 from the side-by-side store" \
    grep -qi 'common-controls_6595b64144ccf1df_6\.[^"]*comctl32\.dll' "$work/loaddll.log"
  point_at "$dialog"
  xdotool key Escape
  check "Escape closes it" exits_with "$show" 0 20
else
  fail "the settings dialog opens"
  abandon "$show"
fi

# A folder in the way of the settings file: the save fails.
mv "$saver/settings.set" "$work/settings.set"
mkdir "$saver/settings.set"
start settings.scr /C
show=$started
if dialog=$(settings_dialog); then
  driver click "$dialog" 1 >/dev/null
  if box=$(driver find '#32770' 20000); then
    pass "a save that fails is reported in a box titled ${box#* }"
    driver click "${box%% *}" 2 >/dev/null || driver click "${box%% *}" 1 >/dev/null
    check "then the program ends with a failure status" exits_with "$show" 1 20
  else
    fail "a save that fails is reported in a box"
    abandon "$show"
  fi
  check "the folder in the way is untouched" test -d "$saver/settings.set"
else
  fail "the dialog opens with a folder in the way of the settings file"
  abandon "$show"
fi

echo "== the demo show, packed by slidepack with the Windows player"
if [[ -x $host_build/slidepack && -f $host_build/demo/demo.toml && -f $host_build/demo/music.mid ]]; then
  if "$host_build/slidepack" build "$host_build/demo/demo.toml" -o "$saver/demo.scr" \
    --player "$player" >/dev/null; then
    pass "slidepack build --player slidesaver.scr"
    start demo.scr /S
    show=$started
    demo_on_screen() {
      screenshot
      [[ $(pixel 112 84) != 000000 && $(pixel 911 683) != 000000 && $(pixel 111 84) == 000000 ]]
    }
    if wait_for 30 demo_on_screen; then
      pass "the demo's show area is on the screen"
      check "its music and pictures are extracted" \
        test -f "$windir/temp1/music.mid" -a -f "$windir/temp1/01-sunset.jpg"
      first=$(convert "$shot" -crop 800x600+112+84 +repage -format '%#' info:)
      sleep 4
      screenshot
      check "the slides change (music and sounds playing to no device)" \
        test "$(convert "$shot" -crop 800x600+112+84 +repage -format '%#' info:)" != "$first"
      xdotool key space
      check "a key ends the demo" exits_with "$show" 0 20
      check "its folder is gone" test "$(temp_folders)" = 0
    else
      fail "the demo's show area is on the screen"
      abandon "$show"
    fi
  else
    fail "slidepack build --player slidesaver.scr"
  fi
else
  echo "  (no slidepack and demo in $host_build: build the release preset first)"
fi

source "$here/wine-show-for-windows.sh"

# ---- slidepack's prepared pictures (issue 13): the whole block lives in its own file ----
source "$here/wine-prepared-pictures.sh"
# ---- end of slidepack's prepared pictures ----

echo "== $((failures)) failure(s)"
((failures == 0))
