#include "platform/linux/sdl/sdl_show_window.h"

#include <SDL_syswm.h>

#include <cstdio>
#include <cstring>
#include <vector>

#include "common/run_time_error.h"
#include "platform/linux/posix/close_signals.h"
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

AreaPlacement SdlShowWindow::PlaceInRoom(platform::ScreenSize room, platform::Point corner) const {
  AreaPlacement placement = PlaceScaledArea(room, area_.Width(), area_.Height(), fit_);
  placement.on_window = Moved(placement.on_window, corner);
  return placement;
}

void SdlShowWindow::Place() {
  KeepShownPixels();  // the placement, or the surface, is about to change
  placement_ = window_ ? PlaceInWindow() : AreaPlacement{area_, false};
  FollowPlacement(placement_, area_.Width(), area_.Height(), fit_, shown_, scale_, scaled_);
  direct_ = false;
  if (!window_ || scale_) return;
  const platform::ScreenSize size = WindowSize();
  const gdi::Rect& at = placement_.on_window;
  direct_ = gdi::Intersect(at, {0, 0, size.width, size.height}) == at;
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
  const gdi::Rect src = gdi::Intersect(part, {0, 0, image.Width(), image.Height()});
  const gdi::Rect on_window = gdi::Intersect(Moved(src, origin), {0, 0, surface->w, surface->h});
  if (on_window.Empty()) return {};
  CopyImageToSurface(image, Moved(on_window, {-origin.x, -origin.y}), *surface, on_window.left,
                     on_window.top);
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
  const platform::ScreenSize size = WindowSize();
  // After a new size SDL frees the surface on the next call: what only it holds is kept first.
  if (surface_ && (surface_->w != size.width || surface_->h != size.height)) KeepShownPixels();
  surface_ = SDL_GetWindowSurface(window_.get());
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
  CopySurfaceToImage(*surface_, at, shown_);
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
    SDL_UpdateWindowSurfaceRects(window_.get(), sent.data(), static_cast<int>(sent.size()));
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
    const gdi::Bitmap& image = scale_ ? scaled_ : shown_;
    CopyToWindow(image, origin, {0, 0, image.Width(), image.Height()});
  }
  SDL_UpdateWindowSurface(window_.get());
}

void SdlShowWindow::Show() {
  EnsureWindow();
  Reveal();
  RepaintAll();
}

void SdlShowWindow::Hide() {
  if (window_) SDL_HideWindow(window_.get());
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
