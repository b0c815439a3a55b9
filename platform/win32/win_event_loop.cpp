// The clock and the message pump of the one show thread.
#include "platform/win32/windows_api.h"

#include <algorithm>

#include "platform/win32/extended_tick_count.h"
#include "platform/win32/win32_platform.h"
#include "platform/win32/win_show_window.h"

namespace slidesaver::win32 {
namespace {

// The longest single sleep: the tick count is read again at least this often, well within
// the 49.7 days in which GetTickCount wraps.
constexpr int64_t kLongestSleep = 24 * 60 * 60 * 1000;

class WinEventLoop : public platform::EventLoop {
 public:
  explicit WinEventLoop(WinShowWindow& window) : window_(window) {}

  // Milliseconds since the player started. Every wait reads it, so no wrap of GetTickCount
  // goes unseen.
  int64_t TickCount() override { return ticks_.Since(GetTickCount()); }

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

  void YieldUntil(int64_t deadline) override {
    const int64_t now = TickCount();
    if (now <= deadline) {
      // Sleep until a message is in the queue (one already there returns at once) or the tick
      // passes the deadline; a longer wait goes on in the caller's next call.
      const DWORD wait = static_cast<DWORD>(std::min(deadline - now + 1, kLongestSleep));
      MsgWaitForMultipleObjectsEx(0, nullptr, wait, QS_ALLINPUT, MWMO_INPUTAVAILABLE);
    }
    Yield();
  }

 private:
  WinShowWindow& window_;
  ExtendedTickCount ticks_{GetTickCount()};
};

}  // namespace

std::unique_ptr<platform::EventLoop> MakeWinEventLoop(WinShowWindow& window) {
  return std::make_unique<WinEventLoop>(window);
}

}  // namespace slidesaver::win32
