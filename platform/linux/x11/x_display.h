#pragma once
// An X connection of our own, closed with its owner.
#include <X11/Xlib.h>

#include <memory>

namespace slidesaver::linux_platform {

struct XDisplayCloser {
  void operator()(Display* display) const { XCloseDisplay(display); }
};
using XDisplay = std::unique_ptr<Display, XDisplayCloser>;

// The default display ($DISPLAY); empty when there is none.
inline XDisplay OpenXDisplay() { return XDisplay(XOpenDisplay(nullptr)); }

}  // namespace slidesaver::linux_platform
