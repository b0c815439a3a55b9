#pragma once
// The monitors of the X display, as RandR 1.5 lists them: every output in use, and monitors an
// administrator defined over parts of one output (xrandr --setmonitor). SDL counts outputs only.
#include <vector>

#include "gdi/bitmap.h"

namespace slidesaver::linux_platform {

// Each monitor's rectangle on the root window, the primary first (RandR's primary output, else
// the first listed); empty without a display or RandR 1.5.
std::vector<gdi::Rect> X11Monitors();

}  // namespace slidesaver::linux_platform
