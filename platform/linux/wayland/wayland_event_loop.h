#pragma once
// The show's clock and message loop on Wayland. A wait blocks in poll on the compositor's
// connection and on the context's wake-up (a close signal, a call posted by the audio thread)
// until one of them has something or the deadline passes, so a slide on display costs no CPU.
// A wait ends sooner when a commit of the show window's has waited long enough for the
// compositor's frame.
#include <memory>

#include "platform/event_loop.h"
#include "platform/linux/wayland/wayland_context.h"
#include "platform/linux/wayland/wayland_show_window.h"

namespace slidesaver::linux_platform {

class WaylandEventLoop : public platform::EventLoop {
 public:
  WaylandEventLoop(std::shared_ptr<WaylandContext> context, WaylandShowWindow& window)
      : context_(std::move(context)), window_(window) {}

  int64_t TickCount() override { return context_->Sdl().TickCount(); }
  void Yield() override;
  void YieldUntil(int64_t deadline) override;

 private:
  std::shared_ptr<WaylandContext> context_;
  WaylandShowWindow& window_;
};

}  // namespace slidesaver::linux_platform
