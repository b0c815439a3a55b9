#include "platform/linux/sdl/sdl_show_window.h"

#include <SDL_syswm.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/run_time_error.h"
#include "platform/linux/posix/close_signals.h"
#include "platform/linux/sdl/sdl_owned.h"
#include "platform/linux/sdl/surface_pixels.h"

namespace slidesaver::linux_platform {
namespace {

// A show nobody sees could not be ended either: the player says why and ends, status 1, the
// normal way (what it extracted goes with it).
[[noreturn]] void CannotPresent(const char* why) {
  const char* driver = SDL_GetCurrentVideoDriver();
  std::fprintf(stderr, "slidesaver: the show window cannot be shown (video driver %s): %s\n",
               driver ? driver : "none", why);
  throw ProcessExit{1};
}

gdi::Rect Moved(const gdi::Rect& r, platform::Point by) {
  return {r.left + by.x, r.top + by.y, r.right + by.x, r.bottom + by.y};
}

}  // namespace

void SdlShowWindow::EnsureWindow() {
  if (window_) return;
  sdl_->EnsureVideo();
  window_ = OpenWindow();
  // SDL's Wayland driver has no window surface without GL, for one.
  if (HasSurfaceWhenOpen() && !WindowSurface()) CannotPresent(SDL_GetError());
  Place();
}

platform::ScreenSize SdlShowWindow::WindowSize() const {
  platform::ScreenSize size;
  SDL_GetWindowSize(window_.get(), &size.width, &size.height);
  return size;
}

platform::AreaPlacement SdlShowWindow::PlaceInRoom(platform::ScreenSize room,
                                                   platform::Point corner) const {
  platform::AreaPlacement placement =
      platform::PlaceScaledArea(room, area_.Width(), area_.Height(), fit_);
  placement.on_target = Moved(placement.on_target, corner);
  return placement;
}

void SdlShowWindow::Place() {
  const platform::AreaPlacement placement =
      window_ ? PlaceInWindow() : platform::AreaPlacement{area_, false};
  presenter_.Place(placement, area_.Width(), area_.Height(), fit_);
  whole_due_ = true;
}

void SdlShowWindow::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  area_ = {left, top, left + width, top + height};
  if (!window_) return;
  Place();
  RepaintAll();
}

SDL_Surface* SdlShowWindow::WindowSurface() {
  SDL_Surface* surface = SDL_GetWindowSurface(window_.get());
  if (surface && (surface->w != surface_size_.width || surface->h != surface_size_.height)) {
    surface_size_ = {surface->w, surface->h};
    Place();  // for the window's new size, before its event comes
  }
  return surface;
}

void SdlShowWindow::Send(SDL_Surface& surface, std::span<const gdi::Rect> rects) {
  std::vector<SDL_Rect> sent;
  if (SurfaceKeptAsImages(surface)) {
    const SurfaceLock lock(surface);
    const gdi::PixelRows pixels{static_cast<uint32_t*>(surface.pixels), surface.pitch / 4,
                                surface.w, surface.h};
    for (const gdi::Rect& rect : rects) presenter_.Write(image_, rect, pixels);
  } else {
    // Rare (a display of another depth): written as images are, then converted by SDL.
    if (converted_.Width() != surface.w || converted_.Height() != surface.h) {
      converted_ = gdi::Bitmap::Color(surface.w, surface.h);
    }
    for (const gdi::Rect& rect : rects) {
      presenter_.Write(image_, rect, gdi::PixelRows::Of(converted_));
      CopyImageToSurface(converted_, rect, surface, rect.left, rect.top);
    }
  }
  for (const gdi::Rect& rect : rects)
    sent.push_back({rect.left, rect.top, rect.Width(), rect.Height()});
  if (!sent.empty()) {
    SDL_UpdateWindowSurfaceRects(window_.get(), sent.data(), static_cast<int>(sent.size()));
  }
}

void SdlShowWindow::Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) {
  if (image.GetFormat() != gdi::Bitmap::Format::Color32) return;
  const bool new_image =
      !image_ || image_->Width() != image.Width() || image_->Height() != image.Height();
  image_ = &image;
  if (!window_ || window_gone_) return;
  SDL_Surface* surface = WindowSurface();
  if (!surface || SendWholeIfDue(*surface)) return;
  const gdi::Rect all_of_it{0, 0, image.Width(), image.Height()};
  if (new_image) damage = {&all_of_it, 1};
  presenter_.TargetRects(damage, {0, 0, surface->w, surface->h}, rects_);
  Send(*surface, rects_);
}

bool SdlShowWindow::SendWholeIfDue(SDL_Surface& surface) {
  if (!whole_due_) return false;
  whole_due_ = false;
  const gdi::Rect whole{0, 0, surface.w, surface.h};
  Send(surface, {&whole, 1});
  return true;
}

void SdlShowWindow::RepaintAll() {
  if (!window_ || window_gone_) return;
  SDL_Surface* surface = WindowSurface();
  // Unless the surface holds the area as it was last presented, it is written again.
  if (surface && !SendWholeIfDue(*surface)) SDL_UpdateWindowSurface(window_.get());
}

void SdlShowWindow::Show() {
  EnsureWindow();
  Reveal();
  RepaintAll();
}

void SdlShowWindow::Hide() {
  if (window_) SDL_HideWindow(window_.get());
  image_ = nullptr;  // the show that keeps it may go now
}

// Asks the X server itself: SDL's global mouse state is a cache that only raw input events
// refresh, so a pointer moved by a warp (a remote desktop, a tablet driver, xdotool) would
// look as if it had never moved.
platform::Point SdlShowWindow::GetCursorPos() {
  sdl_->EnsureVideo();
  int x = 0, y = 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (window_ && SDL_GetWindowWMInfo(window_.get(), &info) && info.subsystem == SDL_SYSWM_X11) {
    Display* display = info.info.x11.display;
    ::Window root = 0, child = 0;  // X's window type, not Window()
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

platform::WindowHandle SdlShowWindow::Handle() {
  if (!window_) return 0;
  SDL_SysWMinfo info;
  SDL_VERSION(&info.version);
  if (!SDL_GetWindowWMInfo(window_.get(), &info) || info.subsystem != SDL_SYSWM_X11) return 0;
  return static_cast<platform::WindowHandle>(info.info.x11.window);
}

void SdlShowWindow::LoseWindow() {
  window_gone_ = true;
  RequestClose();
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
  const bool to_show = sink_ && PassesInputToShow();
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
    case SDL_SYSWMEVENT:
      if (event.syswm.msg) OnWindowManagerMessage(*event.syswm.msg);
      break;
    case SDL_KEYDOWN:
      if (to_show) sink_->KeyDown();
      break;
    case SDL_MOUSEBUTTONDOWN:
      if (to_show) sink_->MouseDown();
      break;
    case SDL_MOUSEMOTION:
      if (to_show) sink_->MouseMove();
      break;
    default:
      break;
  }
}

}  // namespace slidesaver::linux_platform
