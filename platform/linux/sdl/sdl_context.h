#pragma once
// SDL for the show services, started on first use so that the settings and password modes
// never touch it, and the signals that ask a running show to end.
#include <SDL.h>

#include <chrono>
#include <cstdint>
#include <optional>

#include "platform/linux/sdl/sdl_posted_calls.h"

namespace slidesaver::linux_platform {

class SdlContext {
 public:
  SdlContext();
  ~SdlContext();
  SdlContext(const SdlContext&) = delete;
  SdlContext& operator=(const SdlContext&) = delete;

  // Starts SDL's video and events (and the close signals) once; throws when there is no display.
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
};

// SIGTERM, SIGINT and SIGHUP no longer end the process: each pushes an SDL_QUIT event, which
// the event loop turns into the show's close request (the show then cleans up). Idempotent.
void RouteCloseSignalsToEvents();
// True once one of those signals has arrived.
bool CloseSignalReceived();

}  // namespace slidesaver::linux_platform
