#pragma once
#include <cstdint>

#include "gdi/bitmap.h"
#include "gdi/surface.h"
#include "platform/system.h"

namespace slidesaver::platform {

struct Point {
  int32_t x = 0;
  int32_t y = 0;
  bool operator==(const Point&) const = default;
};

struct ScreenSize {
  int32_t width = 0;
  int32_t height = 0;
  bool operator==(const ScreenSize&) const = default;
};

// The top-left corner of a show area centred on a screen (or a window): each half is
// truncated. An overflow is a RunTimeError.
Point CentredOrigin(ScreenSize screen, int32_t area_width, int32_t area_height);

// Receives the window's input; called only from inside EventLoop::Yield/YieldUntil.
class InputSink {
 public:
  virtual ~InputSink() = default;
  virtual void KeyDown() = 0;
  virtual void MouseDown() = 0;
  virtual void MouseMove() = 0;
  // The system or the user asks the show to end (a signal, WM_CLOSE, end of session).
  virtual void CloseRequested() = 0;
};

// The black, borderless, full-screen, top-most show window. As the Presenter of the show area it
// places the visible show area (Move, window pixels) and brings the changed part of its
// image to the screen at once (Present); it keeps the image to repaint itself on expose.
class ShowWindow : public gdi::Presenter {
 public:
  virtual ~ShowWindow() = default;
  virtual ScreenSize GetScreenSize() = 0;
  virtual void SetInputSink(InputSink* sink) = 0;
  // Shows the window (black, borderless, full screen) and repaints it at once.
  virtual void Show() = 0;
  virtual void Hide() = 0;
  virtual void SetTopMost() = 0;
  // Shows or hides the pointer over the window.
  virtual void SetCursorVisible(bool visible) = 0;
  virtual Point GetCursorPos() = 0;
  // Keyboard and pointer grab while a password protects the show.
  virtual void Grab(bool on) = 0;
  virtual WindowHandle Handle() = 0;
};

}  // namespace slidesaver::platform
