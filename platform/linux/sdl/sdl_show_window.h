#pragma once
// The show window on SDL2, in one of the show's places (MakeSdlShowWindow picks the class):
// FullScreenShowWindow (/S), ForeignShowWindow (another program's X window), OwnShowWindow
// (--window). What they share is here: the show area's placement in the window (scaled with a
// fit, or when the window is too small), the present of the changed part only, written by the
// platform's presenter straight into the window surface, input and close requests.
#include <SDL.h>

#include <memory>
#include <vector>

#include "platform/area_presenter.h"
#include "platform/linux/sdl/sdl_context.h"
#include "platform/linux/sdl/sdl_owned.h"
#include "platform/linux/show_placement.h"
#include "platform/show_window.h"

namespace slidesaver::linux_platform {

class SdlShowWindow : public platform::ShowWindow {
 public:
  SdlShowWindow(const SdlShowWindow&) = delete;
  SdlShowWindow& operator=(const SdlShowWindow&) = delete;

  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override;
  void SetInputSink(platform::InputSink* sink) override { sink_ = sink; }
  void Show() override;
  void Hide() override;
  // Top-most, the pointer hidden and the grab are the full screen's alone.
  void SetTopMost() override {}
  void SetCursorVisible(bool) override {}
  void Grab(bool) override {}
  platform::Point GetCursorPos() override;
  platform::WindowHandle Handle() override;

  // Routes one event of the queue: input to the handlers, expose to a repaint, a new size to a
  // new placement, quit to the close request. Called by the event loop only.
  void HandleEvent(const SDL_Event& event);
  // Hands a pending close signal to the show once a form listens.
  void DeliverCloseSignal();

 protected:
  SdlShowWindow(std::shared_ptr<SdlContext> sdl, gdi::AreaFit fit)
      : sdl_(std::move(sdl)), fit_(fit) {}

  SdlContext& Sdl() { return *sdl_; }
  SDL_Window* Window() const { return window_.get(); }
  void CloseWindow() { window_.reset(); }
  void EnsureWindow();
  platform::ScreenSize WindowSize() const;
  const gdi::Rect& Area() const { return area_; }  // as Move placed it, in window pixels
  gdi::AreaFit Fit() const { return fit_; }
  // The area in `room` as the fit asks, the room's top-left corner at `corner` in the window.
  platform::AreaPlacement PlaceInRoom(platform::ScreenSize room, platform::Point corner) const;
  // The window has gone: nothing is drawn any more, and the show is asked to close.
  void LoseWindow();

 private:
  // The place's window, still hidden.
  virtual SdlWindow OpenWindow() = 0;
  // Whether the window must have a surface once open (another program's is drawn into through
  // X, and asked for its surface once it has its size).
  virtual bool HasSurfaceWhenOpen() const { return true; }
  // Where the area lies in the open window: by default in the whole window.
  virtual platform::AreaPlacement PlaceInWindow() { return PlaceInRoom(WindowSize(), {}); }
  virtual void Reveal() { SDL_ShowWindow(Window()); }
  virtual bool PassesInputToShow() const { return false; }
  virtual void OnWindowManagerMessage(const SDL_SysWMmsg&) {}

  // The area's place in the window for its present size, and the scaler when it is scaled.
  void Place();
  // The window surface; null when there is none. A surface of a new size (the window's) gets
  // a new placement and all its pixels at the next present.
  SDL_Surface* WindowSurface();
  // Writes the rectangles (window pixels, inside the surface) into the window surface and sends
  // them to the screen.
  void Send(SDL_Surface& surface, std::span<const gdi::Rect> rects);
  // Sends the whole surface when a new placement or surface asks for it; whether it did.
  bool SendWholeIfDue(SDL_Surface& surface);
  void RepaintAll();
  void RequestClose();

  std::shared_ptr<SdlContext> sdl_;
  gdi::AreaFit fit_;
  SdlWindow window_;
  bool window_gone_ = false;
  platform::InputSink* sink_ = nullptr;
  gdi::Rect area_{};
  platform::AreaPresenter presenter_;
  // The show area's image as last presented: the show keeps it, and repaints come from it.
  const gdi::Bitmap* image_ = nullptr;
  platform::ScreenSize surface_size_{};  // of the window surface last written
  bool whole_due_ = true;                // the surface needs all its pixels
  gdi::Bitmap converted_;  // a surface of another pixel format gets its rows through this
  std::vector<gdi::Rect> rects_;
  bool close_requested_ = false;  // a close came before the show listened, or came again
  bool close_delivered_ = false;
};

}  // namespace slidesaver::linux_platform
