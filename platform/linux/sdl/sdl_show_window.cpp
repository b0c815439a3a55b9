#include "platform/linux/sdl/sdl_show_window.h"

#include <SDL_syswm.h>

#include <algorithm>
#include <cstring>
#include <stdexcept>
#include <string>
#include <vector>

namespace slidesaver::linux_platform {

SdlShowWindow::~SdlShowWindow() {
  if (window_) SDL_DestroyWindow(window_);
}

platform::ScreenSize SdlShowWindow::GetScreenSize() {
  sdl_->EnsureVideo();
  SDL_DisplayMode mode{};
  if (SDL_GetCurrentDisplayMode(0, &mode) != 0) {
    throw std::runtime_error(std::string("no display mode: ") + SDL_GetError());
  }
  return {mode.w, mode.h};
}

void SdlShowWindow::EnsureWindow() {
  if (window_) return;
  sdl_->EnsureVideo();
  const platform::ScreenSize screen = GetScreenSize();
  window_ = SDL_CreateWindow("slidesaver", SDL_WINDOWPOS_UNDEFINED_DISPLAY(0),
                             SDL_WINDOWPOS_UNDEFINED_DISPLAY(0), screen.width, screen.height,
                             SDL_WINDOW_FULLSCREEN_DESKTOP | SDL_WINDOW_BORDERLESS |
                                 SDL_WINDOW_ALWAYS_ON_TOP | SDL_WINDOW_HIDDEN);
  if (!window_) throw std::runtime_error(std::string("no show window: ") + SDL_GetError());
  SDL_ShowCursor(cursor_count_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
}

void SdlShowWindow::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  area_ = {left, top, left + width, top + height};
  if (window_) RepaintAll();
}

SDL_Rect SdlShowWindow::CopyToWindow(const gdi::Rect& part) {
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return {};
  // The show area's pixels that exist, moved to window pixels, clipped to the window.
  gdi::Rect src = gdi::Intersect(part, {0, 0, shown_.Width(), shown_.Height()});
  const gdi::Rect on_window = gdi::Intersect(
      {src.left + area_.left, src.top + area_.top, src.right + area_.left, src.bottom + area_.top},
      {0, 0, surface->w, surface->h});
  if (on_window.Empty()) return {};
  src = {on_window.left - area_.left, on_window.top - area_.top, on_window.right - area_.left,
         on_window.bottom - area_.top};
  if (SDL_MUSTLOCK(surface)) SDL_LockSurface(surface);
  auto* dst = static_cast<uint8_t*>(surface->pixels) +
              static_cast<size_t>(on_window.top) * surface->pitch +
              static_cast<size_t>(on_window.left) * surface->format->BytesPerPixel;
  const void* from = shown_.Row(src.top) + src.left;
  const int from_pitch = shown_.Width() * 4;
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

void SdlShowWindow::Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) {
  if (image.GetFormat() != gdi::Bitmap::Format::Color32) return;
  const gdi::Rect whole{0, 0, image.Width(), image.Height()};
  if (shown_.Width() != image.Width() || shown_.Height() != image.Height()) {
    shown_ = image;  // a new size: everything is new
    damage = {&whole, 1};
  } else {
    for (const gdi::Rect& rect : damage) {
      const gdi::Rect part = gdi::Intersect(rect, whole);
      for (int32_t y = part.top; y < part.bottom; ++y) {
        std::memcpy(shown_.Row(y) + part.left, image.Row(y) + part.left,
                    static_cast<size_t>(part.Width()) * 4);
      }
    }
  }
  if (!window_) return;
  std::vector<SDL_Rect> sent;
  for (const gdi::Rect& rect : damage) {
    const SDL_Rect on_window = CopyToWindow(rect);
    if (on_window.w > 0 && on_window.h > 0) sent.push_back(on_window);
  }
  if (!sent.empty()) {
    SDL_UpdateWindowSurfaceRects(window_, sent.data(), static_cast<int>(sent.size()));
  }
}

void SdlShowWindow::RepaintAll() {
  SDL_Surface* surface = SDL_GetWindowSurface(window_);
  if (!surface) return;
  SDL_FillRect(surface, nullptr, SDL_MapRGB(surface->format, 0, 0, 0));
  CopyToWindow({0, 0, shown_.Width(), shown_.Height()});
  SDL_UpdateWindowSurface(window_);
}

void SdlShowWindow::Show() {
  EnsureWindow();
  SDL_ShowWindow(window_);
  SDL_RaiseWindow(window_);
  RepaintAll();
}

void SdlShowWindow::Hide() {
  if (window_) SDL_HideWindow(window_);
}

void SdlShowWindow::SetTopMost() {
  if (!window_) return;
  SDL_SetWindowAlwaysOnTop(window_, SDL_TRUE);
  SDL_RaiseWindow(window_);
}

int32_t SdlShowWindow::ShowCursor(bool show) {
  cursor_count_ += show ? 1 : -1;
  if (sdl_->VideoStarted()) SDL_ShowCursor(cursor_count_ >= 0 ? SDL_ENABLE : SDL_DISABLE);
  return cursor_count_;
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
  if (!window_) return;
  SDL_SetWindowKeyboardGrab(window_, on ? SDL_TRUE : SDL_FALSE);
  SDL_SetWindowMouseGrab(window_, on ? SDL_TRUE : SDL_FALSE);
}

platform::WindowHandle SdlShowWindow::Handle() {
  if (!window_) return 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_, &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  return static_cast<platform::WindowHandle>(info.info.x11.window);
}

platform::InputTarget SdlShowWindow::TargetAt(int32_t x, int32_t y) const {
  const bool inside = x >= area_.left && x < area_.right && y >= area_.top && y < area_.bottom;
  return inside ? platform::InputTarget::ShowArea : platform::InputTarget::Form;
}

void SdlShowWindow::DeliverCloseSignal() {
  if (close_delivered_ || !sink_ || !CloseSignalReceived()) return;
  close_delivered_ = true;
  sink_->CloseRequested();
}

void SdlShowWindow::HandleEvent(const SDL_Event& event) {
  switch (event.type) {
    case SDL_QUIT:
      if (sink_) sink_->CloseRequested();
      break;
    case SDL_WINDOWEVENT:
      if (event.window.event == SDL_WINDOWEVENT_EXPOSED ||
          event.window.event == SDL_WINDOWEVENT_SIZE_CHANGED) {
        if (window_) RepaintAll();
      } else if (event.window.event == SDL_WINDOWEVENT_CLOSE && sink_) {
        sink_->CloseRequested();
      }
      break;
    case SDL_KEYDOWN: {
      if (!sink_) break;
      // A key goes to the surface under the pointer.
      const platform::Point pointer = GetCursorPos();
      int wx = 0, wy = 0;
      if (window_) SDL_GetWindowPosition(window_, &wx, &wy);
      sink_->KeyDown(TargetAt(pointer.x - wx, pointer.y - wy));
      break;
    }
    case SDL_MOUSEBUTTONDOWN:
      if (sink_) sink_->MouseDown(TargetAt(event.button.x, event.button.y));
      break;
    case SDL_MOUSEMOTION:
      if (sink_) sink_->MouseMove(TargetAt(event.motion.x, event.motion.y));
      break;
    default:
      break;
  }
}

}  // namespace slidesaver::linux_platform
