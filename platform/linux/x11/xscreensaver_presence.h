#pragma once
#include <X11/Xlib.h>

namespace slidesaver::linux_platform {

// Whether xscreensaver runs on the display: it marks a window of its own, a child of the root
// window, with _SCREENSAVER_VERSION (the root window itself is checked too).
bool XscreensaverRuns(Display* display);

}  // namespace slidesaver::linux_platform
