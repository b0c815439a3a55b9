#pragma once
// The show window: a black, borderless, top-most popup over the primary screen. The show area
// is kept as a device-independent bitmap and copied to the window's device context:
// the changed rectangle at each Present, everything at WM_PAINT.
#include "platform/win32/windows_api.h"

#include <cstdint>
#include <vector>

#include "platform/area_presenter.h"
#include "platform/show_window.h"

namespace slidesaver::win32 {

class WindowsCalls;

class WinShowWindow : public platform::ShowWindow {
 public:
  // The pointer is shown and hidden through `calls` (windows_calls.h).
  explicit WinShowWindow(WindowsCalls& calls) : calls_(calls) {}
  ~WinShowWindow() override;
  WinShowWindow(const WinShowWindow&) = delete;
  WinShowWindow& operator=(const WinShowWindow&) = delete;

  void Move(int32_t left, int32_t top, int32_t width, int32_t height) override;
  void Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) override;
  platform::ScreenSize GetScreenSize() override;
  void SetInputSink(platform::InputSink* sink) override { sink_ = sink; }
  void Show() override;
  void Hide() override;
  void SetTopMost() override;
  void SetCursorVisible(bool visible) override;
  platform::Point GetCursorPos() override;
  void Grab(bool on) override;
  platform::WindowHandle Handle() override;

  // The window while it is on the screen, else null (owner of message boxes).
  HWND VisibleWindow() const;
  // Ends the show as a close request would (WM_QUIT, end of session).
  void RequestClose();

 private:
  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wparam, LPARAM lparam);
  LRESULT HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
  HWND Window();  // made on first use
  void Paint();
  void ResizeArea(int32_t width, int32_t height);
  void BlitArea(HDC target, const RECT& area_part);

  WindowsCalls& calls_;
  HWND window_ = nullptr;
  platform::InputSink* sink_ = nullptr;
  RECT area_{};  // the show area in window pixels
  HDC area_dc_ = nullptr;
  HBITMAP area_bitmap_ = nullptr;
  HGDIOBJ area_previous_ = nullptr;
  uint32_t* area_bits_ = nullptr;  // top-down rows of 0x00RRGGBB
  int32_t area_width_ = 0;
  int32_t area_height_ = 0;
  platform::AreaPresenter presenter_;  // writes the presented image into the area's bits
  std::vector<gdi::Rect> rects_;
};

}  // namespace slidesaver::win32
