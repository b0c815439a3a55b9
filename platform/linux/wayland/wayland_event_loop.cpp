#include "platform/linux/wayland/wayland_event_loop.h"

namespace slidesaver::linux_platform {

void WaylandEventLoop::Yield() {
  if (!context_->Started()) return;  // no window yet: nothing to process
  context_->DrainWakeUps();
  context_->Connection().Dispatch();
  if (SDL_WasInit(SDL_INIT_EVENTS)) {
    SDL_Event event;
    while (SDL_PollEvent(&event)) context_->Sdl().Calls().Run(event);
  }
  window_.CommitWaiting();
  window_.DeliverInput();
}

void WaylandEventLoop::YieldUntil(int64_t deadline) {
  auto passes = context_->Sdl().WhenTickPasses(deadline);
  if (passes && context_->Started()) {
    // A commit that waits for the compositor's frame goes out by its due time at the latest.
    if (const auto due = window_.WaitingCommitDue(); due && *due < *passes) passes = *due;
    context_->Connection().Wait(*passes, context_->WakeFd());
  }
  Yield();
}

}  // namespace slidesaver::linux_platform
