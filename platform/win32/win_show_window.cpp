#include "platform/win32/win_show_window.h"

#include <algorithm>
#include <cstring>

#include "platform/win32/win32_platform.h"
#include "platform/win32/windows_calls.h"

namespace slidesaver::win32 {
namespace {

constexpr wchar_t kClassName[] = L"SlidesaverShowWindow";

}  // namespace

WinShowWindow::~WinShowWindow() {
  if (window_) DestroyWindow(window_);
  if (area_dc_) {
    SelectObject(area_dc_, area_previous_);
    DeleteDC(area_dc_);
  }
  if (area_bitmap_) DeleteObject(area_bitmap_);
}

HWND WinShowWindow::Window() {
  if (window_) return window_;
  const HINSTANCE instance = GetModuleHandleW(nullptr);
  WNDCLASSEXW window_class{};
  window_class.cbSize = sizeof window_class;
  window_class.lpfnWndProc = &WinShowWindow::WindowProc;
  window_class.hInstance = instance;
  window_class.hCursor = LoadCursorW(nullptr, reinterpret_cast<LPCWSTR>(IDC_ARROW));
  window_class.hbrBackground = static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH));
  window_class.lpszClassName = kClassName;
  RegisterClassExW(&window_class);  // fails harmlessly when already registered
  const platform::ScreenSize screen = GetScreenSize();
  window_ = CreateWindowExW(WS_EX_TOPMOST | WS_EX_TOOLWINDOW, kClassName, L"slidesaver", WS_POPUP,
                            0, 0, screen.width, screen.height, nullptr, nullptr, instance, this);
  return window_;
}

LRESULT CALLBACK WinShowWindow::WindowProc(HWND window, UINT message, WPARAM wparam,
                                           LPARAM lparam) {
  if (message == WM_NCCREATE) {
    const auto* create = reinterpret_cast<const CREATESTRUCTW*>(lparam);
    SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
  }
  auto* self = reinterpret_cast<WinShowWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
  if (self && self->window_ == window) return self->HandleMessage(message, wparam, lparam);
  return DefWindowProcW(window, message, wparam, lparam);
}

LRESULT WinShowWindow::HandleMessage(UINT message, WPARAM wparam, LPARAM lparam) {
  switch (message) {
    case WM_PAINT:
      Paint();
      return 0;
    case WM_ERASEBKGND:
      return 1;  // WM_PAINT paints every pixel
    case WM_KEYDOWN:
    case WM_SYSKEYDOWN:
      if (sink_) sink_->KeyDown();
      return 0;
    case WM_SYSKEYUP:
    case WM_SYSCHAR:
      return 0;  // no menu mode on Alt or F10
    case WM_LBUTTONDOWN:
    case WM_RBUTTONDOWN:
    case WM_MBUTTONDOWN:
    case WM_XBUTTONDOWN:
      if (sink_) sink_->MouseDown();
      return 0;
    case WM_MOUSEMOVE:
      if (sink_) sink_->MouseMove();
      return 0;
    case WM_CLOSE:
      RequestClose();
      return 0;  // the show's shutdown hides and cleans up
    case WM_QUERYENDSESSION:
      return TRUE;
    case WM_ENDSESSION:
      if (wparam) RequestClose();
      return 0;
    case WM_SYSCOMMAND:
      if ((wparam & 0xFFF0) == SC_SCREENSAVE || (wparam & 0xFFF0) == SC_MONITORPOWER) return 0;
      break;
    default:
      break;
  }
  return DefWindowProcW(window_, message, wparam, lparam);
}

void WinShowWindow::RequestClose() {
  if (sink_) sink_->CloseRequested();
}

void WinShowWindow::BlitArea(HDC target, const RECT& part) {
  if (!area_dc_) return;
  BitBlt(target, part.left, part.top, part.right - part.left, part.bottom - part.top, area_dc_,
         part.left - area_.left, part.top - area_.top, gdi::SRCCOPY);
}

void WinShowWindow::Paint() {
  PAINTSTRUCT paint;
  const HDC dc = BeginPaint(window_, &paint);
  RECT visible_area;
  if (area_dc_ && IntersectRect(&visible_area, &area_, &paint.rcPaint)) {
    BlitArea(dc, visible_area);
    ExcludeClipRect(dc, area_.left, area_.top, area_.right, area_.bottom);
  }
  FillRect(dc, &paint.rcPaint, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
  EndPaint(window_, &paint);
}

void WinShowWindow::ResizeArea(int32_t width, int32_t height) {
  if (width == area_width_ && height == area_height_ && (area_dc_ || width <= 0 || height <= 0))
    return;
  if (area_dc_) {
    SelectObject(area_dc_, area_previous_);
    DeleteDC(area_dc_);
    area_dc_ = nullptr;
  }
  if (area_bitmap_) DeleteObject(area_bitmap_);
  area_bitmap_ = nullptr;
  area_bits_ = nullptr;
  area_width_ = std::max(width, 0);
  area_height_ = std::max(height, 0);
  if (area_width_ == 0 || area_height_ == 0) return;

  BITMAPINFO info{};
  info.bmiHeader.biSize = sizeof info.bmiHeader;
  info.bmiHeader.biWidth = area_width_;
  info.bmiHeader.biHeight = -area_height_;  // top-down, like the drawing layer's rows
  info.bmiHeader.biPlanes = 1;
  info.bmiHeader.biBitCount = 32;
  info.bmiHeader.biCompression = BI_RGB;
  void* bits = nullptr;
  area_bitmap_ = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
  if (!area_bitmap_) {
    area_width_ = area_height_ = 0;  // out of memory: the area stays black
    return;
  }
  area_bits_ = static_cast<uint32_t*>(bits);
  std::memset(area_bits_, 0, static_cast<size_t>(area_width_) * area_height_ * 4);
  area_dc_ = CreateCompatibleDC(nullptr);
  area_previous_ = SelectObject(area_dc_, area_bitmap_);
}

void WinShowWindow::Move(int32_t left, int32_t top, int32_t width, int32_t height) {
  if (window_) InvalidateRect(window_, &area_, FALSE);
  ResizeArea(width, height);
  area_ = RECT{left, top, left + area_width_, top + area_height_};
  // The area bitmap holds the area whole, at its own size.
  presenter_.Place({{0, 0, area_width_, area_height_}, false}, area_width_, area_height_,
                   gdi::AreaFit::OwnSize);
  if (window_) InvalidateRect(window_, &area_, FALSE);
}

void WinShowWindow::Present(const gdi::Bitmap& image, std::span<const gdi::Rect> damage) {
  if (!area_bits_ || image.GetFormat() != gdi::Bitmap::Format::Color32 || damage.empty()) return;
  // 0x00RRGGBB in memory is the B, G, R, 0 byte order of a 32-bit DIB: rows go as they are.
  const gdi::PixelRows bits{area_bits_, area_width_, area_width_, area_height_};
  const gdi::Rect inside_image{0, 0, image.Width(), image.Height()};
  presenter_.TargetRects(damage, gdi::Intersect({0, 0, area_width_, area_height_}, inside_image),
                         rects_);
  GdiFlush();  // GDI may still be reading the bits
  const bool shown = window_ && IsWindowVisible(window_);
  const HDC dc = shown ? GetDC(window_) : nullptr;
  for (const gdi::Rect& part : rects_) {
    presenter_.Write(&image, part, bits);
    if (dc) {
      BlitArea(dc, RECT{area_.left + part.left, area_.top + part.top, area_.left + part.right,
                        area_.top + part.bottom});
    }
  }
  if (dc) ReleaseDC(window_, dc);
}

platform::ScreenSize WinShowWindow::GetScreenSize() {
  return {GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
}

void WinShowWindow::Show() {
  const HWND window = Window();
  if (!window) return;
  ::ShowWindow(window, SW_SHOWNORMAL);
  SetForegroundWindow(window);
  SetFocus(window);
  UpdateWindow(window);  // repaint at once
}

void WinShowWindow::Hide() {
  if (window_) ::ShowWindow(window_, SW_HIDE);
}

void WinShowWindow::SetTopMost() {
  if (window_) SetWindowPos(window_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
}

void WinShowWindow::SetCursorVisible(bool visible) { ShowCursorUntil(visible, calls_); }

platform::Point WinShowWindow::GetCursorPos() {
  POINT p{0, 0};
  ::GetCursorPos(&p);
  return {p.x, p.y};
}

void WinShowWindow::Grab(bool on) {
  // Windows keeps other programs away from the input while the screen-saver-running flag is
  // set; the window only has to hold the keyboard focus.
  if (on && window_) {
    SetForegroundWindow(window_);
    SetFocus(window_);
  }
}

platform::WindowHandle WinShowWindow::Handle() {
  return static_cast<platform::WindowHandle>(reinterpret_cast<uintptr_t>(Window()));
}

HWND WinShowWindow::VisibleWindow() const {
  return window_ && IsWindowVisible(window_) ? window_ : nullptr;
}

std::unique_ptr<WinShowWindow> MakeWinShowWindow() {
  return std::make_unique<WinShowWindow>(SystemWindowsCalls());
}

}  // namespace slidesaver::win32
