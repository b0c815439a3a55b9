#pragma once
// The show window on SDL2. In its place on the screen (/S) it is black, borderless, top-most and
// covers every monitor, the show area on the primary one, and input on any of them goes to the
// show. In another program's window (an X screen saver's, a preview) or in an ordinary window of
// its own it draws the show area centred, or scaled down to fit when the window is smaller,
// follows the window's size, and keeps input from the show: only a close request (a signal,
// closing its own window, the other program destroying its window) ends it there. With a fit
// (--fit) the area is scaled to the primary monitor or the window. The show area's changed part
// is copied (scaled) into the window surface and only that part is sent to the screen.
#include <SDL.h>

#include <memory>
#include <optional>
#include <vector>

#include "gdi/area_scale.h"
#include "platform/linux/sdl/sdl_context.h"
#include "platform/linux/show_placement.h"
#include "platform/show_window.h"

namespace slidesaver::linux_platform {

class SdlShowWindow : public platform::ShowWindow {
 public:
  SdlShowWindow(std::shared_ptr<SdlContext> sdl, ShowPlace place)
      : sdl_(std::move(sdl)), place_(place) {}
  ~SdlShowWindow() override;

  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override;
  // The screen's size; in a window, the window's.
  platform::ScreenSize GetScreenSize() override;
  void SetInputSink(platform::InputSink* sink) override { sink_ = sink; }
  void Show() override;
  void Hide() override;
  void SetTopMost() override;
  int32_t ShowCursor(bool show) override;
  platform::Point GetCursorPos() override;
  void Grab(bool on) override;
  platform::WindowHandle Handle() override;

  // Routes one event of the queue: input to the handlers, expose to a repaint, a new size to a
  // new placement, quit to the close request. Called by the event loop only.
  void HandleEvent(const SDL_Event& event);
  // Hands a pending close signal to the show once a form listens.
  void DeliverCloseSignal();

 private:
  bool OnScreen() const { return place_.kind == ShowPlace::Kind::Screen; }
  // The monitors on the desktop, the primary first, and the window over all of them.
  void FindMonitors();
  void EnsureWindow();
  // The show area's place in the window for the window's present size (on the screen: the
  // primary monitor's), and the scaler when it is scaled.
  void Place();
  void FitArea();
  // The window surface; when the window has a new size, the pixels only the old surface holds
  // are kept first.
  SDL_Surface* WindowSurface();
  // Brings shown_ up to date from the window surface, after presents that went there alone.
  void KeepShownPixels();
  // Copies the rectangle (window pixels, inside the window) of `image`, whose top-left corner
  // lies at `origin` in the window, into the window surface; empty when nothing lands on it.
  SDL_Rect CopyToWindow(const gdi::Bitmap& image, platform::Point origin, const gdi::Rect& part);
  // Brings the show area's rectangle (its own pixels) to the window surface.
  SDL_Rect DrawArea(const gdi::Rect& part);
  void RepaintAll();
  void RequestClose();
  platform::InputTarget TargetAt(int32_t x, int32_t y) const;

  std::shared_ptr<SdlContext> sdl_;
  ShowPlace place_;
  SDL_Window* window_ = nullptr;
  bool window_gone_ = false;             // the other program destroyed its window
  void* foreign_display_ = nullptr;      // the X connection SDL draws into it through
  SDL_Window* wakeup_window_ = nullptr;  // never shown: see EnsureWindow
  platform::InputSink* sink_ = nullptr;
  gdi::Rect area_{};  // the show area as Move placed it, in window pixels
  AreaPlacement placement_{};
  std::optional<gdi::AreaScale> scale_;
  std::vector<gdi::Rect> monitors_;  // on the desktop, the primary first (on the screen only)
  gdi::Rect desktop_{};              // the full-screen window's rectangle on the desktop
  gdi::Bitmap shown_;                // what the show area last presented, for repaints
  // While the area lies whole in the window and unscaled, a present copies from the image
  // straight into the window surface, and shown_ falls behind until KeepShownPixels.
  bool direct_ = false;
  bool shown_current_ = true;
  SDL_Surface* surface_ = nullptr;  // the window surface last asked for
  gdi::Bitmap scaled_;              // shown_ scaled, when placement_ is scaled
  int32_t cursor_count_ = 0;
  bool close_requested_ = false;  // a close came before the show listened, or came again
  bool close_delivered_ = false;
};

}  // namespace slidesaver::linux_platform
