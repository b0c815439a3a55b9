// Message boxes and the system's screen-saver password dialogs.
#include "platform/win32/windows_api.h"

#include "platform/win32/win32_platform.h"
#include "platform/win32/win_settings_dialog.h"
#include "platform/win32/win_show_window.h"
#include "platform/win32/win_text.h"
#include "platform/windows_calls.h"

namespace slidesaver::win32 {
namespace {

namespace calls = platform::windows_calls;

// A function of a system module that only some Windows versions have, loaded when called.
template <class Function>
class OptionalExport {
 public:
  OptionalExport(const char* module, const char* name) : module_(LoadLibraryA(module)) {
    if (module_)
      function_ =
          reinterpret_cast<Function>(reinterpret_cast<void*>(GetProcAddress(module_, name)));
  }
  ~OptionalExport() {
    if (module_) FreeLibrary(module_);
  }
  OptionalExport(const OptionalExport&) = delete;
  OptionalExport& operator=(const OptionalExport&) = delete;
  Function get() const { return function_; }

 private:
  HMODULE module_;
  Function function_ = nullptr;
};

HWND ToHwnd(platform::WindowHandle handle) {
  return reinterpret_cast<HWND>(static_cast<uintptr_t>(handle));
}

class WinDialogs : public platform::Dialogs {
 public:
  explicit WinDialogs(WinShowWindow& show_window) : show_window_(show_window) {}

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

  // Windows 9x checks the screen-saver password itself; NT-family Windows has no
  // password.cpl (it locks the session when the screen saver is secure), so there the show
  // simply ends instead of failing in the middle of its shutdown.
  bool CheckPassword(platform::WindowHandle over) override {
    using Verify = BOOL(WINAPI*)(HWND);
    const OptionalExport<Verify> verify("password.cpl", "VerifyScreenSavePwd");
    if (!verify.get()) return true;
    return calls::PasswordAccepted(verify.get()(ToHwnd(over)));
  }

  void ChangePassword(platform::WindowHandle owner) override {
    using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    const OptionalExport<Change> change("mpr.dll", "PwdChangePasswordA");
    if (change.get()) change.get()(calls::kScreenSaverPasswordProvider, ToHwnd(owner), 0, 0);
  }

 private:
  WinShowWindow& show_window_;
};

}  // namespace

std::unique_ptr<platform::Dialogs> MakeWinDialogs(WinShowWindow& show_window) {
  return std::make_unique<WinDialogs>(show_window);
}

}  // namespace slidesaver::win32
