#pragma once
// The show's clock and message loop on SDL2. A wait blocks in SDL's event queue until an event
// arrives or the deadline passes, so a slide on display costs no CPU.
#include <memory>

#include "platform/event_loop.h"
#include "platform/linux/sdl/sdl_context.h"
#include "platform/linux/sdl/sdl_show_window.h"

namespace slidesaver::linux_platform {

class SdlEventLoop : public platform::EventLoop {
 public:
  SdlEventLoop(std::shared_ptr<SdlContext> sdl, SdlShowWindow& window)
      : sdl_(std::move(sdl)), window_(window) {}

  int64_t TickCount() override { return sdl_->TickCount(); }
  void Yield() override;
  void YieldUntil(int64_t deadline) override;

 private:
  // A call posted by another thread, or an event for the window.
  void Handle(const SDL_Event& event);

  std::shared_ptr<SdlContext> sdl_;
  SdlShowWindow& window_;
};

}  // namespace slidesaver::linux_platform
