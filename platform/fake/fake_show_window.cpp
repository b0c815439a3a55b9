#include "platform/fake/fake_show_window.h"

#include <algorithm>

namespace slidesaver::fake {
namespace {
std::string RectText(const gdi::Rect& r) {
  return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) +
         "," + std::to_string(r.bottom);
}
}  // namespace

FakeShowWindow::FakeShowWindow(FakeCallLog& log, platform::ScreenSize screen) : log_(log) {
  SetScreenSize(screen);
}

void FakeShowWindow::SetScreenSize(platform::ScreenSize s) {
  screen_size_ = s;
  screen_ = gdi::Bitmap::Color(std::max(s.width, 0), std::max(s.height, 0), 0);
}

void FakeShowWindow::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  log_.Add("Move " + std::to_string(left) + "," + std::to_string(top) + "," +
           std::to_string(width) + "," + std::to_string(height));
  area_ = {left, top, left + width, top + height};
  presenter_.Place({area_, false}, width, height, gdi::AreaFit::OwnSize);
}

void FakeShowWindow::Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) {
  std::string text = "Present";
  for (const gdi::Rect& r : damage) {
    text.push_back(' ');
    text.append(RectText(r));
  }
  log_.Add(text);
  frames_.push_back(
      {log_.Now(), {damage.begin(), damage.end()}, capture_images_ ? image : gdi::Bitmap()});
  // The changed parts land at the show area's place on the screen, as on a real one.
  std::vector<gdi::Rect> on_screen;
  presenter_.TargetRects(damage, {0, 0, screen_.Width(), screen_.Height()}, on_screen);
  for (const gdi::Rect& rect : on_screen) {
    presenter_.Write(&image, rect, gdi::PixelRows::Of(screen_));
  }
}

platform::ScreenSize FakeShowWindow::GetScreenSize() {
  log_.Add("GetScreenSize");
  return screen_size_;
}

void FakeShowWindow::SetInputSink(platform::InputSink* sink) { sink_ = sink; }

void FakeShowWindow::Show() {
  log_.Add("Show");
  visible_ = true;
}

void FakeShowWindow::Hide() {
  log_.Add("Hide");
  visible_ = false;
}

void FakeShowWindow::SetTopMost() {
  log_.Add("SetTopMost");
  top_most_ = true;
}

void FakeShowWindow::SetCursorVisible(bool visible) {
  log_.Add(visible ? "cursor shown" : "cursor hidden");
  cursor_shown_ = visible;
}

platform::Point FakeShowWindow::GetCursorPos() {
  log_.Add("GetCursorPos");
  return cursor_;
}

void FakeShowWindow::Grab(bool on) {
  log_.Add(std::string("Grab ") + (on ? "on" : "off"));
  grabbed_ = on;
}

platform::WindowHandle FakeShowWindow::Handle() { return 0x51DE; }

}  // namespace slidesaver::fake
