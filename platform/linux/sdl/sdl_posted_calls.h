#pragma once
// Calls that another thread (SDL's audio thread) asks the show thread to make: Post() pushes an
// SDL event, which also ends the event loop's wait, and the event loop hands every event to
// Run(), which makes the call on the show thread.
#include <SDL.h>

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>

namespace slidesaver::linux_platform {

class PostedCalls {
 public:
  // Registers a call; its number is what Post and Remove take.
  int32_t Add(std::function<void()> call);
  void Remove(int32_t id);
  // From any thread. Without SDL's event queue (no show window) nothing is posted.
  static void Post(int32_t id);
  // An event loop that does not wait in SDL's queue (the Wayland show's) is woken by a write to
  // this eventfd after each post; -1: none.
  static void WakeAlso(int event_fd);
  // On the show thread: true when the event was a posted call (made, unless removed since).
  bool Run(const SDL_Event& event);

 private:
  static uint32_t EventType();
  static std::atomic<int> wake_fd_;

  std::map<int32_t, std::function<void()>> calls_;
  int32_t next_id_ = 0;
};

}  // namespace slidesaver::linux_platform
