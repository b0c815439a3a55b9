#pragma once
// The show window on SDL2: black, borderless, top-most, covering the primary display. The show
// area's changed part is copied into the window surface and only that part is sent to the screen.
#include <SDL.h>

#include <memory>

#include "platform/linux/sdl/sdl_context.h"
#include "platform/show_window.h"

namespace slidesaver::linux_platform {

class SdlShowWindow : public platform::ShowWindow {
 public:
  explicit SdlShowWindow(std::shared_ptr<SdlContext> sdl) : sdl_(std::move(sdl)) {}
  ~SdlShowWindow() override;

  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override;
  platform::ScreenSize GetScreenSize() override;
  void SetInputSink(platform::InputSink* sink) override { sink_ = sink; }
  void Show() override;
  void Hide() override;
  void SetTopMost() override;
  int32_t ShowCursor(bool show) override;
  platform::Point GetCursorPos() override;
  void Grab(bool on) override;
  platform::WindowHandle Handle() override;

  // Routes one event of the queue: input to the handlers, expose to a repaint, quit to the
  // close request. Called by the event loop only.
  void HandleEvent(const SDL_Event& event);
  // Hands a pending close signal to the show once a form listens.
  void DeliverCloseSignal();

 private:
  void EnsureWindow();
  // Copies the rectangle (in the show area's pixels) of the shown image into the window surface
  // and returns it in window pixels, clipped; empty when nothing lands on the window.
  SDL_Rect CopyToWindow(const gdi::Rect& part);
  void RepaintAll();
  platform::InputTarget TargetAt(int32_t x, int32_t y) const;

  std::shared_ptr<SdlContext> sdl_;
  SDL_Window* window_ = nullptr;
  platform::InputSink* sink_ = nullptr;
  gdi::Rect area_{};   // the show area in window pixels
  gdi::Bitmap shown_;  // what the show area last presented, for repaints
  int32_t cursor_count_ = 0;
  bool close_delivered_ = false;
};

}  // namespace slidesaver::linux_platform
