#pragma once
#include "platform/system.h"

namespace slidesaver::linux_platform {

// The window the desktop reports as active (_NET_ACTIVE_WINDOW on the root window); 0 without
// a display or a window manager that tells.
platform::WindowHandle ActiveX11Window();

}  // namespace slidesaver::linux_platform
