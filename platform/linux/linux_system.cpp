// System values on Linux: the private extraction folder, the password switch, the active window.
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/password_switch.h"
#include "platform/linux/posix/runtime_folder.h"
#include "platform/linux/x11/x11_active_window.h"

namespace slidesaver::linux_platform {
namespace {

class LinuxSystem : public platform::System {
 public:
  explicit LinuxSystem(ShowPlace place) : on_screen_(place.kind == ShowPlace::Kind::Screen) {}

  platform::BaseFolder ExtractionBaseFolder() override {
    platform::BaseFolder base;
    base.path = PrivateRuntimeFolder(&base.problem).value_or("");
    return base;
  }
  // In another program's window that program locks the screen, if anything does; in a window
  // of its own the show is a preview.
  bool ScreenSaverPasswordOn() override { return on_screen_ && ReadPasswordSwitch(); }
  // Nothing holds the desktop's idle off: started by an idle daemon (swayidle, xss-lock) or
  // by hand, the show is the screen saver, and the desktop's own lock and blanking timeouts must
  // still fire while it plays, as the display's power-off does under a Windows screen saver.
  void SetScreenSaverRunning(bool) override {}
  platform::WindowHandle ForegroundWindow() override { return ActiveX11Window(); }

 private:
  bool on_screen_;
};

}  // namespace

std::unique_ptr<platform::System> MakeLinuxSystem(ShowPlace place) {
  return std::make_unique<LinuxSystem>(place);
}

}  // namespace slidesaver::linux_platform
