# Sourced by run-wine-tests.sh on its virtual display, with its helpers (start, check, fail,
# wait_for, exits_with, picture_on_screen, abandon, temp_folders) and $host_build, $saver, $work
# set.
#
# A Windows show made on Linux as a user makes it: the release installed into a prefix of its
# own, `slidepack new` on two photos, then `slidepack build --for windows`, which takes the
# Windows player installed beside the demo. The .scr plays under Wine and shows its first
# picture.
echo "== a Windows show made with the installed slidepack build --for windows"
prefix="$work/installed"
if ! cmake --install "$host_build" --prefix "$prefix" >"$work/install.log" 2>&1; then
  cat "$work/install.log"
  fail "the release installs into a prefix of its own"
elif [[ ! -f $prefix/share/slidesaver/windows/slidesaver.scr ]]; then
  fail "the install holds the Windows player (share/slidesaver/windows/slidesaver.scr)"
else
  pass "the install holds the Windows player (share/slidesaver/windows/slidesaver.scr)"
  mkdir -p "$work/made"
  # 400 x 300 pictures are not enlarged: the red one lies at 200,150 in the 800 x 600 area.
  convert -size 400x300 xc:'#ff0000' -quality 95 "$work/made/1-red.jpg"
  convert -size 400x300 xc:'#00ff00' -quality 95 "$work/made/2-green.jpg"
  if (cd "$work/made" && "$prefix/bin/slidepack" new . --size 800x600 --time 60000 \
    --background '#000040' >/dev/null 2>&1 &&
    "$prefix/bin/slidepack" build show.toml -o "$saver/made.scr" --for windows >/dev/null); then
    check "the .scr begins with the installed Windows player" \
      cmp -n "$(stat -c %s "$prefix/share/slidesaver/windows/slidesaver.scr")" \
      "$prefix/share/slidesaver/windows/slidesaver.scr" "$saver/made.scr"
    start made.scr /S
    show=$started
    if wait_for 30 picture_on_screen; then
      pass "the show made for Windows plays under Wine and shows its first picture"
      xdotool key space
      check "a key ends it" exits_with "$show" 0 20
      check "its folder is gone" test "$(temp_folders)" = 0
    else
      fail "the show made for Windows plays under Wine and shows its first picture"
      abandon "$show"
    fi
  else
    fail "slidepack new and build --for windows with the installed slidepack"
  fi
fi
rm -rf "$prefix"
