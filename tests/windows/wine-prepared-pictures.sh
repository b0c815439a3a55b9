# Sourced by run-wine-tests.sh on its virtual display, with its helpers (start, driver, check,
# wait_for, exits_with, screenshot, pixel, abandon, temp_folders) and $host_build, $player,
# $saver, $work, $windir set.
#
# Pictures of every kind a camera, a phone or an editor leaves (EXIF orientations 1 to 8, CMYK,
# Display P3, 16-bit PNG with alpha, GIF, TIFF, BMP, WebP, HEIC where libheif encodes it), made into
# a show by `slidepack new` and `slidepack build` with the Windows player: it plays them all
# without an error box, and a picture a phone stored on its side stands upright on the screen.
echo "== a show prepared by slidepack from pictures of every kind"
if [[ ! -x $host_build/tests/slidepack/make_test_pictures ]]; then
  cmake --build "$host_build" --target make_test_pictures slidepack >/dev/null
fi
photos="$work/photos"
mkdir -p "$photos"
if "$host_build/tests/slidepack/make_test_pictures" "$photos" 400 300 &&
  "$host_build/slidepack" new "$photos" -o "$work/photos.toml" --size 800x600 --time 300 \
    --effects 1,19,26 --speed 3 >/dev/null 2>&1 &&
  "$host_build/slidepack" build "$work/photos.toml" -o "$saver/photos.scr" --player "$player" \
    >/dev/null; then
  slides=$(find "$photos" -type f | wc -l)
  pass "slidepack new + build with the Windows player ($slides pictures)"
  start photos.scr /S
  show=$started
  area_on_screen() {
    screenshot
    [[ $(pixel 512 384) != 000000 ]]
  }
  if wait_for 30 area_on_screen; then
    # Two rounds of every slide: 300 ms each plus a quick transition.
    box=""
    until=$((SECONDS + 2 * slides))
    while ((SECONDS < until)) && [[ -z $box ]]; do
      box=$(driver find '#32770' 500) || box=""
    done
    check "every slide plays without an error box${box:+ (found: $box)}" test -z "$box"
    check "the $slides prepared pictures are extracted" \
      test "$(find "$windir"/temp1 -name '*.jpg' | wc -l)" = "$slides"
    check "the show is still running" running "$show"
    xdotool key space
    check "a key ends it" exits_with "$show" 0 20
    check "its folder is gone" test "$(temp_folders)" = 0
  else
    fail "the prepared show's first picture is on the screen"
    abandon "$show"
  fi

  # One picture stored on its side (EXIF orientation 6): 400 x 300 upright, at 200,150 in the
  # 800 x 600 area, so on the screen 312..711 x 234..533 with its 75-pixel marks in the corners.
  printf 'width = 800\nheight = 600\nfit = "contain"\n[[slide]]\npicture = "%s"\ntime = 60000\n' \
    "$photos/orientation-6.jpg" >"$work/upright.toml"
  near_by() {  # near_by RRGGBB RRGGBB tolerance
    local a=$1 b=$2 i
    for i in 0 2 4; do
      local d=$((16#${a:i:2} - 16#${b:i:2}))
      ((d <= $3 && d >= -$3)) || return 1
    done
  }
  upright_on_screen() {
    screenshot
    near_by "$(pixel 340 262)" C82828 24 && near_by "$(pixel 683 262)" 28A03C 24 &&
      near_by "$(pixel 340 505)" 283CB4 24 && near_by "$(pixel 683 505)" 808080 24
  }
  if "$host_build/slidepack" build "$work/upright.toml" -o "$saver/upright.scr" \
    --player "$player" >/dev/null; then
    start upright.scr /S
    show=$started
    check "a picture taken on its side stands upright, fitted and centred" wait_for 30 upright_on_screen
    xdotool key space
    check "a key ends it" exits_with "$show" 0 20
  else
    fail "slidepack build of one upright picture"
  fi
else
  fail "slidepack new + build with the Windows player"
fi
