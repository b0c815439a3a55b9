#pragma once
// Where the show area lands in a window that is not the player's own full screen (the window of
// an X screen saver, a settings app's preview, the player's --window): centred as on the screen
// when the window holds it whole, else scaled down to fit, its aspect kept, and centred.
#include <cstdint>

#include "platform/gdi/bitmap.h"
#include "platform/show_window.h"

namespace slidesaver::linux_platform {

struct AreaPlacement {
  gdi::Rect on_window;  // window pixels; may reach past the window when not scaled
  bool scaled = false;  // on_window is smaller than the area
};

// A window or an area without pixels places nothing (an empty rectangle).
AreaPlacement PlaceArea(platform::ScreenSize window, int32_t area_width, int32_t area_height);

}  // namespace slidesaver::linux_platform
