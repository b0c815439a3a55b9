#pragma once
// The monitors of the desktop SDL shows on, the primary first, in desktop pixels.
#include <vector>

#include "gdi/bitmap.h"

namespace slidesaver::linux_platform {

// On X11, RandR's monitors (SDL counts outputs, not the monitors an administrator defined);
// elsewhere SDL's displays, or the current display mode alone. Never empty: without a display
// mode it throws. SDL's video must be started.
std::vector<gdi::Rect> DesktopMonitors();

// The monitors, found when first asked for and then kept.
class KnownMonitors {
 public:
  const std::vector<gdi::Rect>& All();
  const gdi::Rect& Primary() { return All().front(); }
  // The rectangle of the desktop they make up.
  const gdi::Rect& Desktop();

 private:
  std::vector<gdi::Rect> monitors_;
  gdi::Rect desktop_{};
};

}  // namespace slidesaver::linux_platform
