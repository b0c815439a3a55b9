// System values on Linux: the private extraction folder, the password switch, the active window.
#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/linux/linux_platform.h"
#include "platform/linux/posix/password_switch.h"
#include "platform/linux/posix/runtime_folder.h"
#include "platform/linux/sdl/screen_saver_inhibit.h"

namespace slidesaver::linux_platform {
namespace {

// The window the desktop reports as active (_NET_ACTIVE_WINDOW on the root window); 0 without
// a display or a window manager that tells.
platform::WindowHandle ActiveX11Window() {
  Display* display = XOpenDisplay(nullptr);
  if (!display) return 0;
  platform::WindowHandle window = 0;
  const Atom active = XInternAtom(display, "_NET_ACTIVE_WINDOW", True);
  if (active != None) {
    Atom type = None;
    int format = 0;
    unsigned long count = 0;
    unsigned long after = 0;
    unsigned char* data = nullptr;
    if (XGetWindowProperty(display, DefaultRootWindow(display), active, 0, 1, False, XA_WINDOW,
                           &type, &format, &count, &after, &data) == Success &&
        data) {
      if (type == XA_WINDOW && format == 32 && count == 1)
        window = static_cast<platform::WindowHandle>(*reinterpret_cast<Window*>(data));
      XFree(data);
    }
  }
  XCloseDisplay(display);
  return window;
}

class LinuxSystem : public platform::System {
 public:
  std::optional<std::string> ExtractionBaseFolder() override { return PrivateRuntimeFolder(); }
  bool ScreenSaverPasswordOn() override { return ReadPasswordSwitch(); }
  void SetScreenSaverRunning(bool running) override { SetScreenSaverInhibited(running); }
  platform::WindowHandle ForegroundWindow() override { return ActiveX11Window(); }
};

}  // namespace

std::unique_ptr<platform::System> MakeLinuxSystem() { return std::make_unique<LinuxSystem>(); }

}  // namespace slidesaver::linux_platform
