// The show window and the message pump on a real Win32 window (under Wine: an X window).
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_show_window.h"
#include "platform/win32/windows_api.h"

namespace slidesaver::win32 {
namespace {

class RecordingSink : public platform::InputSink {
 public:
  void KeyDown() override { calls.push_back("key"); }
  void MouseDown() override { calls.push_back("down"); }
  void MouseMove() override { calls.push_back("move"); }
  void CloseRequested() override { calls.push_back("close"); }
  std::vector<std::string> calls;
};

// Posts a click at 5, 5 to the window 300 ms later, from a thread of its own.
DWORD WINAPI PostClickLater(void* window) {
  Sleep(300);
  PostMessageW(static_cast<HWND>(window), WM_LBUTTONDOWN, 0, MAKELPARAM(5, 5));
  return 0;
}

class WinShowWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    window->Move(100, 50, 200, 100);
    window->Show();
    hwnd = reinterpret_cast<HWND>(static_cast<uintptr_t>(window->Handle()));
    ASSERT_TRUE(hwnd);
    events->Yield();  // the messages of showing the window
    window->SetInputSink(&sink);
  }
  void Post(UINT message, int x, int y) { PostMessageW(hwnd, message, 0, MAKELPARAM(x, y)); }

  std::unique_ptr<WinShowWindow> window = MakeWinShowWindow();
  std::unique_ptr<platform::EventLoop> events = MakeWinEventLoop(*window);
  RecordingSink sink;
  HWND hwnd = nullptr;
};

TEST_F(WinShowWindowTest, CoversTheScreenTopMostAndBorderless) {
  RECT rect;
  GetWindowRect(hwnd, &rect);
  EXPECT_EQ(rect.left, 0);
  EXPECT_EQ(rect.top, 0);
  EXPECT_EQ(rect.right, window->GetScreenSize().width);
  EXPECT_EQ(rect.bottom, window->GetScreenSize().height);
  const LONG style = GetWindowLongW(hwnd, GWL_STYLE);
  EXPECT_TRUE(style & WS_POPUP);
  EXPECT_FALSE(style & WS_CAPTION);
  EXPECT_TRUE(GetWindowLongW(hwnd, GWL_EXSTYLE) & WS_EX_TOPMOST);
  EXPECT_EQ(window->VisibleWindow(), hwnd);
  window->Hide();
  EXPECT_EQ(window->VisibleWindow(), nullptr);
}

TEST_F(WinShowWindowTest, InputInsideOrOutsideTheAreaReachesTheSinkOnlyInsideAYield) {
  Post(WM_LBUTTONDOWN, 100, 50);  // the show area's first pixel
  Post(WM_RBUTTONDOWN, 99, 50);   // just left of it
  Post(WM_MOUSEMOVE, 299, 149);
  Post(WM_MOUSEMOVE, 300, 149);
  Post(WM_MBUTTONDOWN, 150, 150);
  PostMessageW(hwnd, WM_KEYDOWN, VK_SHIFT, 0);
  PostMessageW(hwnd, WM_SYSKEYDOWN, VK_MENU, 0);
  EXPECT_TRUE(sink.calls.empty());
  events->Yield();
  EXPECT_EQ(sink.calls,
            (std::vector<std::string>{"down", "down", "move", "move", "down", "key", "key"}));
}

TEST_F(WinShowWindowTest, CloseEndSessionAndQuitAskTheShowToEnd) {
  PostMessageW(hwnd, WM_CLOSE, 0, 0);
  PostMessageW(hwnd, WM_ENDSESSION, TRUE, 0);
  PostMessageW(hwnd, WM_ENDSESSION, FALSE, 0);  // the session goes on
  PostQuitMessage(0);
  events->Yield();
  EXPECT_EQ(sink.calls, (std::vector<std::string>{"close", "close", "close"}));
  EXPECT_TRUE(IsWindow(hwnd));  // the show's own shutdown closes it
}

TEST_F(WinShowWindowTest, AWaitEndsWhenAMessageArrives) {
  // A message posted while the wait sleeps wakes it long before its deadline.
  const int64_t deadline = events->TickCount() + 60000;
  const HANDLE poster = CreateThread(nullptr, 0, PostClickLater, hwnd, 0, nullptr);
  ASSERT_TRUE(poster);
  events->YieldUntil(deadline);
  WaitForSingleObject(poster, INFINITE);
  CloseHandle(poster);
  EXPECT_EQ(sink.calls, std::vector<std::string>{"down"});
  EXPECT_LT(events->TickCount(), deadline);
  // A message already waiting ends the wait at once, and so does a deadline already passed.
  Post(WM_LBUTTONDOWN, 5, 5);
  events->YieldUntil(events->TickCount() + 60000);
  Post(WM_KEYDOWN, 0, 0);
  events->YieldUntil(events->TickCount() - 1);
  EXPECT_EQ(sink.calls, (std::vector<std::string>{"down", "down", "key"}));
  EXPECT_LT(events->TickCount(), deadline);
}

TEST_F(WinShowWindowTest, PresentCopiesTheChangedRectangleOnly) {
  gdi::Bitmap image = gdi::Bitmap::Color(200, 100, 0x000040);
  image.SetPixel(0, 0, 0xFF0000);
  image.SetPixel(199, 99, 0x00FF00);
  const gdi::Rect all{0, 0, 200, 100}, changed{2, 0, 3, 1};
  window->Present(image, {&all, 1});
  image.SetPixel(1, 0, 0xFFFFFF);  // changed, but outside the next damage
  image.SetPixel(2, 0, 0x0000FF);
  window->Present(image, {&changed, 1});
  const HDC dc = GetDC(hwnd);
  EXPECT_EQ(GetPixel(dc, 100, 50), RGB(0xFF, 0, 0));
  EXPECT_EQ(GetPixel(dc, 299, 149), RGB(0, 0xFF, 0));
  EXPECT_EQ(GetPixel(dc, 101, 50), RGB(0, 0, 0x40));
  EXPECT_EQ(GetPixel(dc, 102, 50), RGB(0, 0, 0xFF));
  EXPECT_EQ(GetPixel(dc, 99, 50), RGB(0, 0, 0));  // the black form around the area
  // A repaint brings back what was presented, nothing else.
  InvalidateRect(hwnd, nullptr, TRUE);
  UpdateWindow(hwnd);
  EXPECT_EQ(GetPixel(dc, 100, 50), RGB(0xFF, 0, 0));
  EXPECT_EQ(GetPixel(dc, 101, 50), RGB(0, 0, 0x40));
  EXPECT_EQ(GetPixel(dc, 300, 150), RGB(0, 0, 0));
  ReleaseDC(hwnd, dc);
}

TEST_F(WinShowWindowTest, CursorVisibilityAndPosition) {
  // Hidden leaves the system's display count at -1, shown at 0, whatever it was.
  ::ShowCursor(TRUE);
  window->SetCursorVisible(false);
  EXPECT_EQ(::ShowCursor(TRUE), 0);
  ::ShowCursor(FALSE);
  ::ShowCursor(FALSE);
  window->SetCursorVisible(true);
  EXPECT_EQ(::ShowCursor(FALSE), -1);
  SetCursorPos(321, 123);
  EXPECT_EQ(window->GetCursorPos(), (platform::Point{321, 123}));
}

}  // namespace
}  // namespace slidesaver::win32
