// System values on Linux: the private extraction folder, the password switch, the active window.
#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/password_switch.h"
#include "platform/linux/posix/runtime_folder.h"
#include "platform/linux/sdl/screen_saver_inhibit.h"
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
  void SetScreenSaverRunning(bool running) override {
    if (on_screen_) SetScreenSaverInhibited(running);
  }
  platform::WindowHandle ForegroundWindow() override { return ActiveX11Window(); }

 private:
  bool on_screen_;
};

}  // namespace

std::unique_ptr<platform::System> MakeLinuxSystem(ShowPlace place) {
  return std::make_unique<LinuxSystem>(place);
}

}  // namespace slidesaver::linux_platform
