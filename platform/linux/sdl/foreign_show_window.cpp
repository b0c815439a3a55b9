#include "platform/linux/sdl/foreign_show_window.h"

#include <SDL_syswm.h>

#include <cstdio>
#include <stdexcept>
#include <string>

#include "platform/linux/x11/foreign_window.h"

namespace slidesaver::linux_platform {
namespace {

std::string WindowName(uint32_t window) {
  char name[16];
  std::snprintf(name, sizeof name, "0x%x", window);
  return name;
}

}  // namespace

ForeignShowWindow::~ForeignShowWindow() {
  if (!Window()) return;
  CloseWindow();  // SDL only lets go of it: the window stays
  // Letting go of a window that has gone brings errors: they end nothing.
  if (x_display_) SettleForeignWindow(x_display_);
}

platform::ScreenSize ForeignShowWindow::GetScreenSize() {
  Sdl().EnsureVideo();
  EnsureWindow();
  return WindowSize();
}

SdlWindow ForeignShowWindow::OpenWindow() {
  // Its owner may have destroyed it since the start (a screen saver soon deactivated).
  TolerateForeignWindowErrors();
  if (FindForeignWindow(false, foreign_window_).result != ForeignWindowLookup::Result::Found) {
    throw std::runtime_error("window " + WindowName(foreign_window_) + " has gone");
  }
  SdlWindow window(SDL_CreateWindowFrom(reinterpret_cast<const void*>(uintptr_t{foreign_window_})));
  if (!window) {
    throw std::runtime_error("cannot draw into window " + WindowName(foreign_window_) + ": " +
                             SDL_GetError());
  }
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (SDL_GetWindowWMInfo(window.get(), &info) && info.subsystem == SDL_SYSWM_X11) {
    // The window's destruction arrives as a raw X event only.
    SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
    x_display_ = info.info.x11.display;
    WatchForeignWindow(x_display_, foreign_window_);
  }
  // SDL wakes a waiting event loop (for a close signal) with an event sent to its newest
  // window, which only the window's creator receives: that must be a window of ours.
  wakeup_window_.reset(SDL_CreateWindow("slidesaver", 0, 0, 1, 1, SDL_WINDOW_HIDDEN));
  return window;
}

void ForeignShowWindow::OnWindowManagerMessage(const SDL_SysWMmsg& message) {
  if (message.subsystem == SDL_SYSWM_X11 && message.msg.x11.event.type == DestroyNotify &&
      message.msg.x11.event.xdestroywindow.window == foreign_window_) {
    LoseWindow();
  }
}

}  // namespace slidesaver::linux_platform
