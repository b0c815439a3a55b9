#pragma once
// Minimal show window: a screen size, a cursor count and a visibility flag.
// (The show's tests replace this with one that records frames and scripted input.)
#include "platform/show_window.h"

namespace slidesaver::fake {

class FakeShowWindow : public platform::ShowWindow {
 public:
  platform::ScreenSize screen{1024, 768};
  platform::InputSink* sink = nullptr;
  bool visible = false;
  int32_t cursor_count = 0;

  void Move(int32_t, int32_t, int32_t, int32_t) override {}
  void Present(const gdi::Bitmap&, const gdi::Rect&) override {}
  platform::ScreenSize GetScreenSize() override { return screen; }
  void SetInputSink(platform::InputSink* s) override { sink = s; }
  void Show() override { visible = true; }
  void Hide() override { visible = false; }
  void SetTopMost() override {}
  int32_t ShowCursor(bool show) override { return cursor_count += show ? 1 : -1; }
  platform::Point GetCursorPos() override { return {}; }
  void Grab(bool) override {}
  platform::WindowHandle Handle() override { return 0x100; }
};

}  // namespace slidesaver::fake
