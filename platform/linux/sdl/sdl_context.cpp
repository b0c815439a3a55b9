#include "platform/linux/sdl/sdl_context.h"

#include <cstdio>
#include <cstdlib>
#include <stdexcept>
#include <string>

#include "platform/linux/x11/x_connection_lost.h"

namespace slidesaver::linux_platform {

SdlContext::SdlContext() : start_(std::chrono::steady_clock::now()) {}

SdlContext::~SdlContext() {
  close_signals_.reset();
  if (video_started_) SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
}

namespace {

// SDL's offscreen and dummy drivers (and its evdev pseudo-driver) play an invisible show that no
// input can end.
bool ShowsNothing(const std::string& driver) {
  return driver == "offscreen" || driver == "dummy" || driver == "evdev";
}

// Tests that watch what a show does without a display set this to 1.
bool InvisibleShowAllowed() {
  const char* allowed = std::getenv("SLIDESAVER_INVISIBLE_SHOW");
  return allowed && std::string(allowed) == "1";
}

std::string DriversThatShow() {
  std::string list;
  for (int i = 0; i < SDL_GetNumVideoDrivers(); ++i) {
    const std::string name = SDL_GetVideoDriver(i);
    if (ShowsNothing(name)) continue;
    list += (list.empty() ? "" : ",") + name;
  }
  return list.empty() ? "none" : list;
}

}  // namespace

void SdlContext::EnsureVideo() {
  if (!StartVideo()) {
    throw std::runtime_error(std::string("no display for the show: ") + SDL_GetError());
  }
}

bool SdlContext::StartVideo() {
  if (video_started_) return true;
  // The signals are ours (see close_signals.h); a full-screen window must not
  // minimise when the password dialog takes the focus; the first click counts as input.
  SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
  SDL_SetHint(SDL_HINT_VIDEO_MINIMIZE_ON_FOCUS_LOSS, "0");
  SDL_SetHint(SDL_HINT_MOUSE_FOCUS_CLICKTHROUGH, "1");
  SDL_SetHint(SDL_HINT_GRAB_KEYBOARD, "1");
  // The desktop's idle timeouts (its lock, its blanking) go on while a show plays.
  SDL_SetHint(SDL_HINT_VIDEO_ALLOW_SCREENSAVER, "1");
  // The window surface goes straight to X (shared memory), so that presenting a changed band
  // sends only that band; through a GL texture every present would redraw the whole window.
  SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
  const char* asked = std::getenv("SDL_VIDEODRIVER");
  if (!asked || !*asked) SDL_SetHint(SDL_HINT_VIDEODRIVER, DriversThatShow().c_str());
  if (SDL_InitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS) != 0) return false;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (ShowsNothing(driver ? driver : "") && !InvisibleShowAllowed()) {
    std::fprintf(stderr,
                 "slidesaver: SDL's video driver \"%s\" shows nothing: no show nobody can see or "
                 "end\n",
                 driver);
    SDL_QuitSubSystem(SDL_INIT_VIDEO | SDL_INIT_EVENTS);
    SDL_SetError("the video driver shows nothing");
    return false;
  }
  video_started_ = true;
  if (driver != nullptr && std::string(driver) == "x11") EndProcessOnLostXConnection();
  RouteCloseSignals();  // main has done it already; a program of the tests may not have
  // SDL_PushEvent may be called from any thread.
  close_signals_ = std::make_unique<CloseSignalListener>([] {
    SDL_Event quit{};
    quit.type = SDL_QUIT;
    SDL_PushEvent(&quit);
  });
  return true;
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
