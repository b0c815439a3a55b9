#include "platform/linux/x11/x11_active_window.h"

#include <X11/Xatom.h>
#include <X11/Xlib.h>

#include "platform/linux/x11/x_display.h"

namespace slidesaver::linux_platform {

platform::WindowHandle ActiveX11Window() {
  const XDisplay owned = OpenXDisplay();
  Display* display = owned.get();
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
  return window;
}

}  // namespace slidesaver::linux_platform
