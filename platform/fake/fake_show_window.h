#pragma once
// The show window of the test platform: the screen as a bitmap, a cursor that scripted input
// moves and the show hides ("cursor hidden", "cursor shown"), and a capture of every presented
// frame.
#include <cstdint>
#include <vector>

#include "platform/area_presenter.h"
#include "platform/fake/fake_event_loop.h"
#include "platform/show_window.h"

namespace slidesaver::fake {

struct PresentedFrame {
  int64_t tick;
  std::vector<gdi::Rect> damage;  // in the show area's own pixels
  gdi::Bitmap image;  // the show area's whole image at that moment (empty when capture is off)
};

class FakeShowWindow : public platform::ShowWindow {
 public:
  explicit FakeShowWindow(FakeCallLog& log, platform::ScreenSize screen = {1024, 768});

  // gdi::Presenter
  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override;
  // platform::ShowWindow
  platform::ScreenSize GetScreenSize() override;
  void SetInputSink(platform::InputSink* sink) override;
  void Show() override;
  void Hide() override;
  void SetTopMost() override;
  void SetCursorVisible(bool visible) override;
  platform::Point GetCursorPos() override;
  void Grab(bool on) override;
  platform::WindowHandle Handle() override;

  // For the test and the fake event loop.
  platform::InputSink* Sink() const { return sink_; }
  void SetCursorPos(platform::Point p) { cursor_ = p; }
  void SetScreenSize(platform::ScreenSize s);
  bool CursorShown() const { return cursor_shown_; }
  bool Visible() const { return visible_; }
  bool TopMost() const { return top_most_; }
  bool Grabbed() const { return grabbed_; }
  const gdi::Rect& ShowArea() const { return area_; }  // the show area in screen pixels
  // What the screen shows: black, with every presented part of the show area at its place.
  const gdi::Bitmap& Screen() const { return screen_; }
  const std::vector<PresentedFrame>& Frames() const { return frames_; }
  void ClearFrames() { frames_.clear(); }
  // Whole-image copies cost memory in long shows; damage rectangles are always kept.
  void SetCaptureImages(bool on) { capture_images_ = on; }

 private:
  FakeCallLog& log_;
  platform::ScreenSize screen_size_;
  gdi::Bitmap screen_;
  gdi::Rect area_{};
  platform::AreaPresenter presenter_;
  platform::InputSink* sink_ = nullptr;
  platform::Point cursor_{};
  bool cursor_shown_ = true;
  bool visible_ = false;
  bool top_most_ = false;
  bool grabbed_ = false;
  bool capture_images_ = true;
  std::vector<PresentedFrame> frames_;
};

}  // namespace slidesaver::fake
