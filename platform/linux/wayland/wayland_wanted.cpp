// Whether the show goes to Wayland: apart from the Wayland services, so that the idle watcher
// asks it without linking them.
#include <cstdlib>
#include <string_view>

#include "platform/linux/linux_platform.h"

namespace slidesaver::linux_platform {

bool WaylandWanted(bool asked) {
  const char* driver = std::getenv("SDL_VIDEODRIVER");
  if (asked || (driver && std::string_view(driver) == "wayland")) return true;
  const char* wayland = std::getenv("WAYLAND_DISPLAY");
  const char* x11 = std::getenv("DISPLAY");
  return wayland && *wayland && !(x11 && *x11);
}

}  // namespace slidesaver::linux_platform
