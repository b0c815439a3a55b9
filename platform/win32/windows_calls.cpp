#include "platform/win32/windows_calls.h"

namespace slidesaver::win32 {
namespace {

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

class SystemCalls : public WindowsCalls {
 public:
  std::string SendMciString(const std::string& command) override {
    char reply[256] = {};
    mciSendStringA(command.c_str(), reply, sizeof reply, nullptr);
    reply[sizeof reply - 1] = '\0';
    return reply;
  }

  void PlaySound(const char* path, uint32_t flags) override { PlaySoundA(path, nullptr, flags); }

  int ShowCursor(bool show) override { return ::ShowCursor(show ? TRUE : FALSE); }

  std::optional<int32_t> VerifyScreenSavePwd(HWND over) override {
    using Verify = BOOL(WINAPI*)(HWND);
    const OptionalExport<Verify> verify("password.cpl", "VerifyScreenSavePwd");
    if (!verify.get()) return std::nullopt;
    return verify.get()(over);
  }

  void PwdChangePassword(const char* provider, HWND owner, uint32_t reserved1,
                         uint32_t reserved2) override {
    using Change = DWORD(WINAPI*)(LPCSTR, HWND, DWORD, DWORD);
    const OptionalExport<Change> change("mpr.dll", "PwdChangePasswordA");
    if (change.get()) change.get()(provider, owner, reserved1, reserved2);
  }
};

}  // namespace

WindowsCalls& SystemWindowsCalls() {
  static SystemCalls calls;
  return calls;
}

void ShowCursorUntil(bool visible, WindowsCalls& calls) {
  if (visible) {
    while (calls.ShowCursor(true) < 0) {
    }
  } else {
    while (calls.ShowCursor(false) >= 0) {
    }
  }
}

bool CheckScreenSaverPassword(WindowsCalls& calls, HWND over) {
  const std::optional<int32_t> answer = calls.VerifyScreenSavePwd(over);
  return !answer || (*answer & 0xFFFF) != 0;
}

void ChangeScreenSaverPassword(WindowsCalls& calls, HWND owner) {
  calls.PwdChangePassword("SCRSAVE", owner, 0, 0);
}

}  // namespace slidesaver::win32
