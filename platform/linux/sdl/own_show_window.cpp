#include "platform/linux/sdl/own_show_window.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace slidesaver::linux_platform {
namespace {

// The window opens at the show area's size, or scaled to fit this share of the desktop.
constexpr int32_t kShareOfDesktop = 90;  // per cent

}  // namespace

platform::ScreenSize OwnShowWindow::GetScreenSize() {
  Sdl().EnsureVideo();
  if (Window()) return WindowSize();
  const gdi::Rect& primary = monitors_.Primary();
  return {primary.Width(), primary.Height()};
}

SdlWindow OwnShowWindow::OpenWindow() {
  SDL_Rect desktop{0, 0, 640, 480};
  SDL_GetDisplayUsableBounds(0, &desktop);
  const platform::ScreenSize room{desktop.w * kShareOfDesktop / 100,
                                  desktop.h * kShareOfDesktop / 100};
  const platform::AreaPlacement start =
      platform::PlaceArea(room, std::max(Area().Width(), 1), std::max(Area().Height(), 1));
  SdlWindow window(SDL_CreateWindow("slidesaver", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    std::max(start.on_target.Width(), 1),
                                    std::max(start.on_target.Height(), 1),
                                    SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN));
  if (!window) throw std::runtime_error(std::string("no show window: ") + SDL_GetError());
  return window;
}

}  // namespace slidesaver::linux_platform
