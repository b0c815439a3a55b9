#include "platform/linux/sdl/full_screen_show_window.h"

#include <stdexcept>
#include <string>

namespace slidesaver::linux_platform {

platform::ScreenSize FullScreenShowWindow::GetScreenSize() {
  Sdl().EnsureVideo();
  const gdi::Rect& primary = monitors_.Primary();
  return {primary.Width(), primary.Height()};
}

SdlWindow FullScreenShowWindow::OpenWindow() {
  const gdi::Rect& desktop = monitors_.Desktop();
  SdlWindow window;
  if (monitors_.All().size() == 1) {
    window.reset(SDL_CreateWindow("slidesaver", SDL_WINDOWPOS_UNDEFINED_DISPLAY(0),
                                  SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), desktop.Width(),
                                  desktop.Height(),
                                  SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS |
                                      SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN));
  } else {
    window.reset(SDL_CreateWindow("slidesaver", desktop.left, desktop.top, desktop.Width(),
                                  desktop.Height(),
                                  SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                      SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN));
  }
  if (!window) throw std::runtime_error(std::string("no show window: ") + SDL_GetError());
  SDL_ShowCursor(cursor_visible_ ? SDL_ENABLE : SDL_DISABLE);
  return window;
}

platform::AreaPlacement FullScreenShowWindow::PlaceInWindow() {
  // The show placed its area on the primary monitor, whose corner lies here in the window.
  const gdi::Rect& primary = monitors_.Primary();
  const gdi::Rect& desktop = monitors_.Desktop();
  const platform::Point corner{primary.left - desktop.left, primary.top - desktop.top};
  if (Fit() != gdi::AreaFit::OwnSize) {
    return PlaceInRoom({primary.Width(), primary.Height()}, corner);
  }
  const gdi::Rect& area = Area();
  return {
      {area.left + corner.x, area.top + corner.y, area.right + corner.x, area.bottom + corner.y},
      false};
}

void FullScreenShowWindow::Reveal() {
  SDL_ShowWindow(Window());
  SDL_RaiseWindow(Window());
}

void FullScreenShowWindow::SetTopMost() {
  if (!Window()) return;
  SDL_SetWindowAlwaysOnTop(Window(), SDL_TRUE);
  SDL_RaiseWindow(Window());
}

void FullScreenShowWindow::SetCursorVisible(bool visible) {
  cursor_visible_ = visible;
  if (Sdl().VideoStarted()) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void FullScreenShowWindow::Grab(bool on) {
  if (!Window()) return;
  SDL_SetWindowKeyboardGrab(Window(), on ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowMouseGrab(Window(), on ? SDL_TRUE : SDL_FALSE);
}

}  // namespace slidesaver::linux_platform
