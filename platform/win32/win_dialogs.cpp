// Message boxes and the system's screen-saver password dialogs.
#include "platform/win32/windows_api.h"

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_settings_dialog.h"
#include "platform/win32/win_show_window.h"
#include "platform/win32/win_text.h"
#include "platform/win32/windows_calls.h"

namespace slidesaver::win32 {
namespace {

HWND ToHwnd(platform::WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
}

class WinDialogs : public platform::Dialogs {
 public:
  WinDialogs(WinShowWindow& show_window, WindowsCalls& calls)
      : show_window_(show_window), calls_(calls) {}

  void MessageBox(const std::string& text, const std::string& title,
                  platform::MessageIcon icon) override {
    const UINT style =
        MB_OK | MB_SETFOREGROUND | MB_TOPMOST |
        (icon == platform::MessageIcon::Warning ? MB_ICONWARNING : MB_ICONINFORMATION);
    MessageBoxW(show_window_.VisibleWindow(), WideFromUtf8(text).c_str(),
                WideFromUtf8(title).c_str(), style);
  }

  void ShowSettingsDialog(platform::SettingsDialogModel& settings) override {
    RunSettingsDialog(settings);
  }

  bool CheckPassword(platform::WindowHandle over) override {
    return CheckScreenSaverPassword(calls_, ToHwnd(over));
  }

  void ChangePassword(platform::WindowHandle owner) override {
    ChangeScreenSaverPassword(calls_, ToHwnd(owner));
  }

 private:
  WinShowWindow& show_window_;
  WindowsCalls& calls_;
};

}  // namespace

std::unique_ptr<platform::Dialogs> MakeWinDialogs(WinShowWindow& show_window, WindowsCalls& calls) {
  return std::make_unique<WinDialogs>(show_window, calls);
}

}  // namespace slidesaver::win32
