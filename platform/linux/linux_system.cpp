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
  platform::BaseFolder ExtractionBaseFolder() override {
    platform::BaseFolder base;
    base.path = PrivateRuntimeFolder(&base.problem).value_or("");
    return base;
  }
  bool ScreenSaverPasswordOn() override { return ReadPasswordSwitch(); }
  void SetScreenSaverRunning(bool running) override { SetScreenSaverInhibited(running); }
  platform::WindowHandle ForegroundWindow() override { return ActiveX11Window(); }
};

}  // namespace

std::unique_ptr<platform::System> MakeLinuxSystem() { return std::make_unique<LinuxSystem>(); }

}  // namespace slidesaver::linux_platform
