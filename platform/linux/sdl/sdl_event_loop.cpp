#include "platform/linux/sdl/sdl_event_loop.h"

#include <algorithm>
#include <climits>
#include <thread>

namespace slidesaver::linux_platform {
namespace {
using std::chrono::milliseconds;
using Clock = std::chrono::steady_clock;

// SDL counts its timeout in whole milliseconds of its own clock and may wake up to one of them
// early; the last stretch before the deadline is slept precisely instead.
constexpr milliseconds kPreciseStretch{2};
}  // namespace

void SdlEventLoop::Handle(const SDL_Event& event) {
  if (!sdl_->Calls().Run(event)) window_.HandleEvent(event);
}

void SdlEventLoop::Yield() {
  if (!sdl_->VideoStarted()) return;  // no window yet: nothing to process
  SDL_Event event;
  while (SDL_PollEvent(&event)) Handle(event);
  window_.DeliverCloseSignal();
}

void SdlEventLoop::YieldUntil(int64_t deadline) {
  const auto passes = sdl_->WhenTickPasses(deadline);
  if (passes && sdl_->VideoStarted()) {
    for (;;) {
      const auto left = *passes - Clock::now();
      if (left <= Clock::duration::zero()) break;
      if (left <= kPreciseStretch) {
        std::this_thread::sleep_until(*passes);
        break;
      }
      // Blocks in the event queue: any event ends the wait at once.
      const auto wait = std::chrono::duration_cast<milliseconds>(left - kPreciseStretch / 2);
      SDL_Event event;
      const int64_t timeout = std::clamp<int64_t>(wait.count(), 1, INT_MAX);  // the loop goes on
      if (SDL_WaitEventTimeout(&event, static_cast<int>(timeout))) {
        Handle(event);
        break;
      }
    }
  }
  Yield();
}

}  // namespace slidesaver::linux_platform
