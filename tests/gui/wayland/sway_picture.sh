# Sourced by the tests on a headless sway: waits until a screenshot (grim) holds the show's
# picture ($work/picture.png, 400 x 300) centred on output 1, at (312, 234) of 1024 x 768, while
# the show $show runs. Needs $work, $show, $slow, fail and now_ms from the test.
await_centred_picture() {
  local since difference=""
  since=$(now_ms)
  while (($(now_ms) - since < 10000 * slow)); do
    kill -0 "$show" 2>/dev/null || fail "the show ended before its picture was shown"
    grim -t ppm "$work/screen.ppm" 2>/dev/null || true
    if [[ -s $work/screen.ppm ]]; then
      convert "$work/screen.ppm" -crop 400x300+312+234 +repage "$work/area.png"
      difference=$({ compare -metric AE "$work/area.png" "$work/picture.png" null: 2>&1 || true; })
      [[ $difference == 0 ]] && return 0
    fi
    sleep 0.1
  done
  fail "no picture centred on output 1 within $((10 * slow)) s ($difference pixels differ)"
}
