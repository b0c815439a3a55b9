#include "platform/linux/sdl/sdl_show_window.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

#include "common/run_time_error.h"
#include "platform/linux/x11/foreign_window.h"
#include "platform/linux/x11/monitors.h"

namespace slidesaver::linux_platform {
namespace {

// An own window starts at the show area's size, or scaled to fit this share of the desktop.
constexpr int32_t kOwnWindowShareOfDesktop = 90;  // per cent

// A show nobody sees could not be ended either: the player says why and ends, status 1, the
// normal way (what it extracted goes with it).
[[noreturn]] void CannotPresent(const char* why) {
  const char* driver = SDL_GetCurrentVideoDriver();
  std::fprintf(stderr, "slidesaver: the show window cannot be shown (video driver %s): %s\n",
               driver ? driver : "none", why);
  throw ProcessExit{1};
}

std::string WindowName(uint32_t window) {
  char name[16];
  std::snprintf(name, sizeof name, "0x%x", window);
  return name;
}

}  // namespace

SdlShowWindow::~SdlShowWindow() {
  if (!window_) return;
  SDL_DestroyWindow(window_);  // another program's window stays: SDL only lets go of it
  if (foreign_display_) SettleForeignWindow(foreign_display_);
  if (wakeup_window_) SDL_DestroyWindow(wakeup_window_);
}

platform::ScreenSize SdlShowWindow::GetScreenSize() {
  sdl_->EnsureVideo();
  if (place_.kind == ShowPlace::Kind::ForeignWindow) EnsureWindow();
  if (window_ && !OnScreen()) {
    int w = 0, h = 0;
    SDL_GetWindowSize(window_, &w, &h);
    return {w, h};
  }
  FindMonitors();
  return {monitors_.front().Width(), monitors_.front().Height()};
}

void SdlShowWindow::FindMonitors() {
  if (!monitors_.empty()) return;
  sdl_->EnsureVideo();
  const char* driver = SDL_GetCurrentVideoDriver();
  if (driver && std::strcmp(driver, "x11") == 0) monitors_ = X11Monitors();
  if (monitors_.empty()) {
    // SDL's display 0 is the primary one.
    for (int i = 0; i < SDL_GetNumVideoDisplays(); ++i) {
      SDL_Rect bounds{};
      if (SDL_GetDisplayBounds(i, &bounds) == 0 && bounds.w > 0 && bounds.h > 0) {
        monitors_.push_back({bounds.x, bounds.y, bounds.x + bounds.w, bounds.y + bounds.h});
      }
    }
  }
  if (monitors_.empty()) {
    SDL_DisplayMode mode{};
    if (SDL_GetCurrentDisplayMode(0, &mode) != 0) {
      throw std::runtime_error(std::string("no display mode: ") + SDL_GetError());
    }
    monitors_.push_back({0, 0, mode.w, mode.h});
  }
  desktop_ = {};
  for (const gdi::Rect& monitor : monitors_) desktop_ = gdi::Union(desktop_, monitor);
}

void SdlShowWindow::EnsureWindow() {
  if (window_) return;
  sdl_->EnsureVideo();
  switch (place_.kind) {
    case ShowPlace::Kind::Screen: {
      FindMonitors();
      if (monitors_.size() == 1) {
        desktop_ = monitors_.front();
        window_ = SDL_CreateWindow("slidesaver", SDL_WINDOWPOS_UNDEFINED_DISPLAY(0),
                                   SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), desktop_.Width(),
                                   desktop_.Height(),
                                   SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS |
                                       SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN);
      } else {
        // SDL's full screen takes one display: a borderless window over all of them instead.
        window_ = SDL_CreateWindow("slidesaver", desktop_.left, desktop_.top, desktop_.Width(),
                                   desktop_.Height(),
                                   SDL_WINDOW_BORDERLESS | SDL_WINDOW_ALWAYS_ON_TOP |
                                       SDL_WINDOW_SKIP_TASKBAR | SDL_WINDOW_HIDDEN);
      }
      if (!window_) throw std::runtime_error(std::string("no show window: ") + SDL_GetError());
      SDL_ShowCursor(cursor_visible_ ? SDL_ENABLE : SDL_DISABLE);
      break;
    }
    case ShowPlace::Kind::ForeignWindow: {
      // Its owner may have destroyed it since the start (a screen saver soon deactivated).
      TolerateForeignWindowErrors();
      if (FindForeignWindow(false, place_.window).result != ForeignWindowLookup::Result::Found) {
        throw std::runtime_error("window " + WindowName(place_.window) + " has gone");
      }
      window_ = SDL_CreateWindowFrom(reinterpret_cast<const void*>(uintptr_t{place_.window}));
      if (!window_) {
        throw std::runtime_error("cannot draw into window " + WindowName(place_.window) + ": " +
                                 SDL_GetError());
      }
      SDL_SysWMinfo info;
      SDL_VERSION(&info.version);
      if (SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
        // The window's destruction arrives as a raw X event only.
        SDL_EventState(SDL_SYSWMEVENT, SDL_ENABLE);
        foreign_display_ = info.info.x11.display;
        WatchForeignWindow(foreign_display_, place_.window);
      }
      // SDL wakes a waiting event loop (for a close signal) with an event sent to its newest
      // window, which only the window's creator receives: that must be a window of ours.
      wakeup_window_ = SDL_CreateWindow("slidesaver", 0, 0, 1, 1, SDL_WINDOW_HIDDEN);
      break;
    }
    case ShowPlace::Kind::OwnWindow: {
      SDL_Rect desktop{0, 0, 640, 480};
      SDL_GetDisplayUsableBounds(0, &desktop);
      const platform::ScreenSize room{desktop.w * kOwnWindowShareOfDesktop / 100,
                                      desktop.h * kOwnWindowShareOfDesktop / 100};
      const AreaPlacement start =
          PlaceArea(room, std::max(area_.Width(), 1), std::max(area_.Height(), 1));
      window_ = SDL_CreateWindow("slidesaver", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                 std::max(start.on_window.Width(), 1),
                                 std::max(start.on_window.Height(), 1),
                                 SDL_WINDOW_RESIZABLE | SDL_WINDOW_HIDDEN);
      if (!window_) throw std::runtime_error(std::string("no show window: ") + SDL_GetError());
      break;
    }
  }
  // SDL's Wayland driver has no window surface without GL, for one. (Another program's window
  // is drawn into through X, and asked for its surface once it has its size.)
  if (place_.kind != ShowPlace::Kind::ForeignWindow && !WindowSurface()) {
    CannotPresent(SDL_GetError());
  }
  Place();
}

void SdlShowWindow::Place() {
  KeepShownPixels();  // the placement, or the surface, is about to change
  FitArea();
  direct_ = false;
  if (!window_ || scale_) return;
  int width = 0, height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  const gdi::Rect& at = placement_.on_window;
  direct_ = gdi::Intersect(at, {0, 0, width, height}) == at;
}

void SdlShowWindow::FitArea() {
  // The room the area is placed in, and its top-left corner in the window.
  platform::ScreenSize room;
  platform::Point corner;
  if (OnScreen() && window_) {
    const gdi::Rect& primary = monitors_.front();
    room = {primary.Width(), primary.Height()};
    corner = {primary.left - desktop_.left, primary.top - desktop_.top};
  } else if (window_) {
    SDL_GetWindowSize(window_, &room.width, &room.height);
  }
  const auto in_window = [&](gdi::Rect r) {
    return gdi::Rect{r.left + corner.x, r.top + corner.y, r.right + corner.x, r.bottom + corner.y};
  };
  if (!window_ || (OnScreen() && place_.fit == gdi::AreaFit::OwnSize)) {
    placement_ = {in_window(area_), false};  // where the show put it, on the primary monitor
  } else {
    placement_ = PlaceScaledArea(room, area_.Width(), area_.Height(), place_.fit);
    placement_.on_window = in_window(placement_.on_window);
  }
  FollowPlacement(placement_, area_.Width(), area_.Height(), place_.fit, shown_, scale_, scaled_);
}

void SdlShowWindow::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  area_ = {left, top, left + width, top + height};
  if (!window_) return;
  Place();
  RepaintAll();
}

SDL_Rect SdlShowWindow::CopyToWindow(const gdi::Bitmap& image, platform::Point origin,
                                     const gdi::Rect& part) {
  SDL_Surface* surface = WindowSurface();
  if (!surface) return {};
  // The image's pixels that exist, moved to window pixels, clipped to the window.
  gdi::Rect src = gdi::Intersect(part, {0, 0, image.Width(), image.Height()});
  const gdi::Rect on_window = gdi::Intersect(
      {src.left + origin.x, src.top + origin.y, src.right + origin.x, src.bottom + origin.y},
      {0, 0, surface->w, surface->h});
  if (on_window.Empty()) return {};
  src = {on_window.left - origin.x, on_window.top - origin.y, on_window.right - origin.x,
         on_window.bottom - origin.y};
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  auto* dst = static_cast<uint8_t*>(surface->pixels) +
              static_cast<size_t>(on_window.top) * surface->pitch +
              static_cast<size_t>(on_window.left) * surface->format->BytesPerPixel;
  const void* from = image.Row(src.top) + src.left;
  const int from_pitch = image.Width() * 4;
  if (surface->format->format == SDL_PIXELFORMAT_RGB888 ||
      surface->format->format == SDL_PIXELFORMAT_ARGB8888) {
    for (int32_t y = 0; y < on_window.Height(); ++y) {
      std::memcpy(dst + static_cast<size_t>(y) * surface->pitch,
                  static_cast<const uint8_t*>(from) + static_cast<size_t>(y) * from_pitch,
                  static_cast<size_t>(on_window.Width()) * 4);
    }
  } else {
    SDL_ConvertPixels(on_window.Width(), on_window.Height(), SDL_PIXELFORMAT_RGB888, from,
                      from_pitch, surface->format->format, dst, surface->pitch);
  }
  if (SDL_MUSTLOCK(surface)) SDL_UnlockSurface(surface);
  return {on_window.left, on_window.top, on_window.Width(), on_window.Height()};
}

SDL_Rect SdlShowWindow::DrawArea(const gdi::Rect& part) {
  const platform::Point origin{placement_.on_window.left, placement_.on_window.top};
  if (!scale_) return CopyToWindow(shown_, origin, part);
  if (shown_.Width() != scale_->SourceWidth() || shown_.Height() != scale_->SourceHeight()) {
    return {};
  }
  const gdi::Rect target = scale_->TargetOf(part);
  scale_->Scale(shown_, target, scaled_);
  return CopyToWindow(scaled_, origin, target);
}

SDL_Surface* SdlShowWindow::WindowSurface() {
  int width = 0, height = 0;
  SDL_GetWindowSize(window_, &width, &height);
  // After a new size SDL frees the surface on the next call: what only it holds is kept first.
  if (surface_ && (surface_->w != width || surface_->h != height)) KeepShownPixels();
  surface_ = SDL_GetWindowSurface(window_);
  return surface_;
}

void SdlShowWindow::KeepShownPixels() {
  if (shown_current_) return;
  shown_current_ = true;
  const gdi::Rect& at = placement_.on_window;
  if (!surface_ || shown_.Width() != at.Width() || shown_.Height() != at.Height() ||
      gdi::Intersect(at, {0, 0, surface_->w, surface_->h}) != at) {
    return;
  }
  if (SDL_MUSTLOCK(surface_)) SDL_LockSurface(surface_);
  const auto* from = static_cast<const uint8_t*>(surface_->pixels) +
                     static_cast<size_t>(at.top) * surface_->pitch +
                     static_cast<size_t>(at.left) * surface_->format->BytesPerPixel;
  if (surface_->format->format == SDL_PIXELFORMAT_RGB888 ||
      surface_->format->format == SDL_PIXELFORMAT_ARGB8888) {
    for (int32_t y = 0; y < at.Height(); ++y) {
      std::memcpy(shown_.Row(y), from + static_cast<size_t>(y) * surface_->pitch,
                  static_cast<size_t>(at.Width()) * 4);
    }
  } else {
    SDL_ConvertPixels(at.Width(), at.Height(), surface_->format->format, from, surface_->pitch,
                      SDL_PIXELFORMAT_RGB888, shown_.Row(0), shown_.Width() * 4);
  }
  if (SDL_MUSTLOCK(surface_)) SDL_UnlockSurface(surface_);
}

void SdlShowWindow::Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) {
  if (image.GetFormat() != gdi::Bitmap::Format::Color32) return;
  const gdi::Rect whole{0, 0, image.Width(), image.Height()};
  const bool new_size = shown_.Width() != image.Width() || shown_.Height() != image.Height();
  if (new_size) {
    shown_ = image;  // everything is new
    shown_current_ = true;
    damage = {&whole, 1};
  } else if (!direct_) {
    for (const gdi::Rect& rect : damage) {
      const gdi::Rect part = gdi::Intersect(rect, whole);
      for (int32_t y = part.top; y < part.bottom; ++y) {
        std::memcpy(shown_.Row(y) + part.left, image.Row(y) + part.left,
                    static_cast<size_t>(part.Width()) * 4);
      }
    }
  }
  if (!window_ || window_gone_ || damage.empty()) return;
  const platform::Point origin{placement_.on_window.left, placement_.on_window.top};
  std::vector<SDL_Rect> sent;
  for (const gdi::Rect& rect : damage) {
    const SDL_Rect on_window = direct_ ? CopyToWindow(image, origin, rect) : DrawArea(rect);
    if (on_window.w > 0 && on_window.h > 0) sent.push_back(on_window);
  }
  if (direct_ && !new_size) shown_current_ = false;
  if (!sent.empty()) {
    SDL_UpdateWindowSurfaceRects(window_, sent.data(), static_cast<int>(sent.size()));
  }
}

void SdlShowWindow::RepaintAll() {
  if (!window_ || window_gone_) return;
  SDL_Surface* surface = WindowSurface();
  if (!surface) return;
  // Unless the surface alone holds the area, as it is, it is drawn again.
  if (shown_current_) {
    SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
    const platform::Point origin{placement_.on_window.left, placement_.on_window.top};
    if (scale_) {
      CopyToWindow(scaled_, origin, {0, 0, scaled_.Width(), scaled_.Height()});
    } else {
      CopyToWindow(shown_, origin, {0, 0, shown_.Width(), shown_.Height()});
    }
  }
  SDL_UpdateWindowSurface(window_);
}

void SdlShowWindow::Show() {
  EnsureWindow();
  if (place_.kind != ShowPlace::Kind::ForeignWindow) SDL_ShowWindow(window_);
  if (OnScreen()) SDL_RaiseWindow(window_);
  RepaintAll();
}

void SdlShowWindow::Hide() {
  if (window_ && place_.kind != ShowPlace::Kind::ForeignWindow) SDL_HideWindow(window_);
}

void SdlShowWindow::SetTopMost() {
  if (!window_ || !OnScreen()) return;
  SDL_SetWindowAlwaysOnTop(window_, SDL_TRUE);
  SDL_RaiseWindow(window_);
}

void SdlShowWindow::SetCursorVisible(bool visible) {
  cursor_visible_ = visible;
  if (sdl_->VideoStarted() && OnScreen()) SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

// Asks the X server itself: SDL's global mouse state is a cache that only raw input events
// refresh, so a pointer moved by a warp (a remote desktop, a tablet driver, xdotool) would
// look as if it had never moved.
platform::Point SdlShowWindow::GetCursorPos() {
  sdl_->EnsureVideo();
  int x = 0, y = 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window_ && SDL_GetWindowWMInfo(window_, &info) && info.subsystem == SDL_SYSWM_X11) {
    Display* display = info.info.x11.display;
    Window root = 0, child = 0;
    int window_x = 0, window_y = 0;
    unsigned int buttons = 0;
    if (XQueryPointer(display, DefaultRootWindow(display), &root, &child, &x, &y, &window_x,
                      &window_y, &buttons)) {
      return {x, y};
    }
  }
  SDL_GetGlobalMouseState(&x, &y);
  return {x, y};
}

void SdlShowWindow::Grab(bool on) {
  if (!window_ || !OnScreen()) return;
  SDL_SetWindowKeyboardGrab(window_, on ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowMouseGrab(window_, on ? SDL_TRUE : SDL_FALSE);
}

platform::WindowHandle SdlShowWindow::Handle() {
  if (place_.kind == ShowPlace::Kind::ForeignWindow) return place_.window;
  if (!window_) return 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  return static_cast<platform::WindowHandle>(info.info.x11.window);
}

void SdlShowWindow::RequestClose() {
  close_requested_ = true;
  if (sink_) sink_->CloseRequested();
}

void SdlShowWindow::DeliverCloseSignal() {
  if (close_delivered_ || !sink_ || !(close_requested_ || CloseSignalReceived())) return;
  close_delivered_ = true;
  sink_->CloseRequested();
}

void SdlShowWindow::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      RequestClose();
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        Place();
        RepaintAll();
      } else if (event.window.event == SDL_WINDOWEVENT_EXPOSED) {
        RepaintAll();
      } else if (event.window.event == SDL_WINDOWEVENT_CLOSE) {
        RequestClose();
      }
      break;
    case SDL_SYSWMEVENT: {
      const SDL_SysWMmsg* message = event.syswm.msg;
      if (place_.kind == ShowPlace::Kind::ForeignWindow && message &&
          message->subsystem == SDL_SYSWM_X11 && message->msg.x11.event.type == DestroyNotify &&
          message->msg.x11.event.xdestroywindow.window == place_.window) {
        window_gone_ = true;
        RequestClose();
      }
      break;
    }
    case SDL_KEYDOWN: {
      if (sink_ && OnScreen()) sink_->KeyDown();
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (sink_ && OnScreen()) sink_->MouseDown();
      break;
    case SDL_MOUSEMOTION:
      if (sink_ && OnScreen()) sink_->MouseMove();
      break;
    default:
      break;
  }
}

}  // namespace slidesaver::linux_platform
