// The clock and the message pump of the one show thread.
#include "platform/win32/windows_api.h"

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_show_window.h"

namespace slidesaver::win32 {
namespace {

class WinEventLoop : public platform::EventLoop {
 public:
  explicit WinEventLoop(WinShowWindow& window) : window_(window) {}

  // Milliseconds since the player started: a process-relative tick keeps far away from the
  // 32-bit wrap that GetTickCount reaches after 24.8 days of uptime.
  int32_t TickCount() override { return static_cast<int32_t>(GetTickCount() - start_); }

  void Yield() override {
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      if (msg.message == WM_QUIT) {
        // Someone asked the thread to quit: the show ends through its normal shutdown.
        window_.RequestClose();
        continue;
      }
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
  }

  void YieldUntil(int32_t deadline) override {
    const int32_t now = TickCount();
    if (now <= deadline) {
      // Sleep until a message is in the queue (one already there returns at once) or the tick
      // passes the deadline.
      const DWORD wait = static_cast<DWORD>(static_cast<int64_t>(deadline) - now + 1);
      MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    Yield();
  }

 private:
  WinShowWindow& window_;
  DWORD start_ = GetTickCount();
};

}  // namespace

std::unique_ptr<platform::EventLoop> MakeWinEventLoop(WinShowWindow& window) {
  return std::make_unique<WinEventLoop>(window);
}

}  // namespace slidesaver::win32
