#include "platform/linux/x11/monitors.h"

#include <X11/Xlib.h>
#include <X11/extensions/Xrandr.h>

#include <memory>

#include "platform/linux/x11/x_display.h"

namespace slidesaver::linux_platform {

std::vector<gdi::Rect> X11Monitors() {
  const XDisplay display = OpenXDisplay();
  if (!display) return {};
  int event_base = 0, error_base = 0, major = 0, minor = 0;
  if (!XRRQueryExtension(display.get(), &event_base, &error_base) ||
      !XRRQueryVersion(display.get(), &major, &minor) || major * 100 + minor < 105) {
    return {};
  }
  int count = 0;
  const std::unique_ptr<XRRMonitorInfo, decltype(&XRRFreeMonitors)> listed(
      XRRGetMonitors(display.get(), DefaultRootWindow(display.get()), True, &count),
      XRRFreeMonitors);
  std::vector<gdi::Rect> monitors;
  for (int i = 0; i < count; ++i) {
    const XRRMonitorInfo& m = listed.get()[i];
    if (m.width <= 0 || m.height <= 0) continue;
    const gdi::Rect bounds{m.x, m.y, m.x + m.width, m.y + m.height};
    if (m.primary) {
      monitors.insert(monitors.begin(), bounds);
    } else {
      monitors.push_back(bounds);
    }
  }
  return monitors;
}

}  // namespace slidesaver::linux_platform
