#include "platform/linux/sdl/desktop_monitors.h"

#include <SDL.h>

#include <cstring>
#include <stdexcept>
#include <string>

#include "platform/linux/x11/monitors.h"

namespace slidesaver::linux_platform {

std::vector<gdi::Rect> DesktopMonitors() {
  std::vector<gdi::Rect> monitors;
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0) monitors = X11Monitors();
  if (monitors.empty()) {
    // SDL's display 0 is the primary one.
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
      SDL_Rect bounds{};
      if (SDL_GetDisplayBounds(i, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
        monitors.push_back({bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h});
      }
    }
  }
  if (monitors.empty()) {
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0) {
      throw std::runtime_error(std::string("no display mode: ") + SDL_GetError());
    }
    monitors.push_back({0, 0, mode.w, mode.h});
  }
  return monitors;
}

const std::vector<gdi::Rect>& KnownMonitors::All() {
  if (monitors_.empty()) {
    monitors_ = DesktopMonitors();
    for (const gdi::Rect& monitor : monitors_) desktop_ = gdi::Union(desktop_, monitor);
  }
  return monitors_;
}

const gdi::Rect& KnownMonitors::Desktop() {
  All();
  return desktop_;
}

}  // namespace slidesaver::linux_platform
