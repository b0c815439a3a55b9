#include "platform/linux/sdl_event_loop.h"

namespace slidesaver::linux_platform {

void SdlEventLoop::Yield() {
  if (!sdl_->VideoStarted()) return;  // no window yet: nothing to process
  SDL_Event event;
  while (SDL_PollEvent(&event)) window_.HandleEvent(event);
  window_.DeliverCloseSignal();
}

void SdlEventLoop::YieldUntil(int32_t deadline) {
  const int64_t remaining = static_cast<int64_t>(deadline) + 1 - TickCount();
  if (remaining > 0 && sdl_->VideoStarted()) {
    // The tick counts whole milliseconds, so waiting `remaining` from now ends at or after
    // the first tick past the deadline; any event ends the wait earlier.
    SDL_Event event;
    const int timeout = remaining > INT32_MAX ? INT32_MAX : static_cast<int>(remaining);
    if (SDL_WaitEventTimeout(&event, timeout)) window_.HandleEvent(event);
  }
  Yield();
}

}  // namespace slidesaver::linux_platform
