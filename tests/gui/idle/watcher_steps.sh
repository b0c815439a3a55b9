# The steps the idle watcher's tests share, sourced by them. The test defines fail (message),
# move_pointer (an input), await_visible (the show $show on the screen), extractions (the
# extraction folders) and slow (the sanitizer build's factor), and starts the watcher, $watcher.
now_ms() { date +%s%3N; }
stop() {  # pid: ends a process this test started, and waits for it
  if [[ -n $1 ]] && kill "$1" 2>/dev/null; then wait "$1" 2>/dev/null || true; fi
}
# True once a process has ended (gone, or a zombie nobody has waited for yet).
ended() {
  [[ ! -e /proc/$1/stat ]] || [[ $(sed 's/.*) //' "/proc/$1/stat" | cut -d' ' -f1) == Z ]]
}
# The show the watcher plays now, if any.
show_of() { cat "/proc/$1/task/$1/children" 2>/dev/null | tr -d ' ' || true; }

# Waits until a show plays: its pid in $show, its start in $started (ms).
await_show() {
  local since
  since=$(now_ms)
  show=""
  while [[ -z $show ]] && (($(now_ms) - since < 20000 * slow)); do
    show=$(show_of "$watcher")
    kill -0 "$watcher" 2>/dev/null || fail "the watcher ended"
    [[ -n $show ]] || sleep 0.02
  done
  started=$(now_ms)
  [[ -n $show ]] || fail "no show within $((20 * slow)) s"
}

# A second watcher for the same display refuses to run: status 1, and says why.
second_watcher_refused() {  # player, the display's name in the message
  local status=0
  "$1" --idle 5 2>"$work/second.log" || status=$?
  ((status == 1)) || fail "a second watcher ended with status $status"
  grep -q "already runs for display $2" "$work/second.log" ||
    fail "the second watcher said: $(cat "$work/second.log")"
}

# With a 2 s idle time: input, a show 2 s later, pointer motion ends it, the next show 2 s after
# the last input.
two_idle_shows() {
  move_pointer
  local input waited first since
  input=$(now_ms)
  await_show
  waited=$((started - input))
  ((waited >= 1800)) || fail "the show started $waited ms after the last input, before 2 s"
  await_visible
  [[ -n $(extractions) ]] || fail "no extraction folder while the show plays"
  echo "idle 2 s: the show started $waited ms after the last input and is on the screen"
  first=$show
  since=$(now_ms)
  while kill -0 "$first" 2>/dev/null && [[ $(show_of "$watcher") == "$first" ]]; do
    (($(now_ms) - since < 15000 * slow)) || fail "pointer motion did not end the show"
    move_pointer
    input=$(now_ms)
    sleep 0.2
  done
  echo "pointer motion ended the show within $(($(now_ms) - since)) ms"
  await_show
  [[ $show != "$first" ]] || fail "the first show did not end"
  waited=$((started - input))
  ((waited >= 1800)) || fail "the next show started $waited ms after the last input, before 2 s"
  await_visible
  echo "idle 2 s again: the next show started $waited ms after the last input"
}

# SIGTERM ends the watcher (status 0) and the show it plays, which leaves no folder.
terminate_watcher() {
  kill -TERM "$watcher"
  local status=0
  wait "$watcher" || status=$?
  watcher=""
  ((status == 0)) || fail "the watcher ended with status $status on SIGTERM"
  [[ ! -e /proc/$show ]] || fail "the show $show outlived its watcher"
  [[ -z $(extractions) ]] || fail "an extraction folder stayed: $(extractions)"
  echo "SIGTERM: the watcher and its show ended, no extraction folder stayed"
}

# SIGKILL ends the watcher at once: its show ends with it (asked as SIGTERM asks) and leaves no
# folder, and the next watcher plays its own show with nothing held by the dead one in the way.
killed_watcher_takes_its_show() {  # player
  "$1" --idle 2 2>"$work/watcher.log" &
  watcher=$!
  move_pointer
  await_show
  await_visible
  kill -KILL "$watcher"
  wait "$watcher" 2>/dev/null || true
  watcher=""
  local since
  since=$(now_ms)
  until ended "$show"; do
    (($(now_ms) - since < 10000 * slow)) || fail "the show $show outlived its killed watcher"
    sleep 0.05
  done
  echo "SIGKILL: the watcher's show ended $(($(now_ms) - since)) ms after it"
  since=$(now_ms)
  while [[ -n $(extractions) ]]; do
    (($(now_ms) - since < 5000 * slow)) || fail "an extraction folder stayed: $(extractions)"
    sleep 0.05
  done
  "$1" --idle 2 2>"$work/watcher.log" &
  watcher=$!
  move_pointer
  await_show
  await_visible
  echo "the next watcher's show plays"
  terminate_watcher
}
