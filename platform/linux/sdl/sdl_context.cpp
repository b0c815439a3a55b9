#include "platform/linux/sdl/sdl_context.h"

#include <stdexcept>
#include <string>

namespace slidesaver::linux_platform {

SdlContext::SdlContext() : start_(std::chrono::steady_clock::now()) {}

SdlContext::~SdlContext() {
  if (video_started_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

void SdlContext::EnsureVideo() {
  if (video_started_) return;
  // The signals are ours (see RouteCloseSignalsToEvents); a full-screen window must not
  // minimise when the password dialog takes the focus; the first click counts as input.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "1");
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");  // inhibited only while a show runs
  // The window surface goes straight to X (shared memory), so that presenting a changed band
  // sends only that band; through a GL texture every present would redraw the whole window.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) {
    throw std::runtime_error(std::string("no display for the show: ") + SDL_GetError());
  }
  video_started_ = true;
  RouteCloseSignalsToEvents();
}

int64_t SdlContext::TickCount() const {
  return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() -
                                                               start_)
      .count();
}

std::optional<std::chrono::steady_clock::time_point> SdlContext::WhenTickPasses(
    int64_t deadline) const {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(
      std::chrono::steady_clock::now() - start_);
  const int64_t ticks_left = deadline + 1 - elapsed.count();
  if (ticks_left <= 0) return std::nullopt;
  return start_ + elapsed + std::chrono::milliseconds(ticks_left);
}

}  // namespace slidesaver::linux_platform
