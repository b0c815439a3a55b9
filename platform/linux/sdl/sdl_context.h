#pragma once
// SDL for the show services, started on first use so that the settings and password modes
// never touch it.
#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <memory>
#include <optional>

#include "platform/linux/posix/close_signals.h"
#include "platform/linux/sdl/sdl_posted_calls.h"

namespace slidesaver::linux_platform {

class SdlContext {
 public:
  SdlContext();
  ~SdlContext();
  SdlContext(const SdlContext&) = delete;
  SdlContext& operator=(const SdlContext&) = delete;

  // Starts SDL's video and events once; false when there is no display. Without
  // SDL_VIDEODRIVER, only a driver that shows something is taken; one that shows nothing
  // (dummy, offscreen), named there, is refused with a line on stderr unless
  // SLIDESAVER_INVISIBLE_SHOW=1. From then on a close signal
  // is an SDL_QUIT event, which also wakes a wait in the event queue.
  bool StartVideo();
  // StartVideo, throwing when there is no display.
  void EnsureVideo();
  bool VideoStarted() const { return video_started_; }

  // Milliseconds since the services were made.
  int64_t TickCount() const;
  // The moment the tick count moves on to deadline + 1, for a deadline not yet passed;
  // nullopt when it has passed.
  std::optional<std::chrono::steady_clock::time_point> WhenTickPasses(int64_t deadline) const;

  // What other threads ask the show thread to do; the event loop runs it.
  PostedCalls& Calls() { return calls_; }

 private:
  std::chrono::steady_clock::time_point start_;
  bool video_started_ = false;
  PostedCalls calls_;
  std::unique_ptr<CloseSignalListener> close_signals_;
};

}  // namespace slidesaver::linux_platform
