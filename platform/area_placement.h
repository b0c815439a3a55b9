#pragma once
// Where the show area lands in a room that is not the player's own full screen at the area's
// own size (the window of an X screen saver, a settings app's preview, the player's --window),
// and on the screen with a fit: centred as on the screen when the room holds it whole, else
// scaled down to fit, its aspect kept, and centred; enlarged to fill the room as the fit asks.
#include <cstdint>

#include "gdi/area_scale.h"
#include "gdi/bitmap.h"
#include "platform/show_window.h"

namespace slidesaver::platform {

struct AreaPlacement {
  gdi::Rect on_target;  // target pixels; may reach past the target when not scaled
  bool scaled = false;  // on_target is not of the area's size
};

// A room or an area without pixels places nothing (an empty rectangle).
AreaPlacement PlaceArea(ScreenSize room, int32_t area_width, int32_t area_height,
                        gdi::AreaFit fit = gdi::AreaFit::OwnSize);

// PlaceArea for a presenter that scales: an area too large for the scaler stays at its own size,
// centred, cut by the room.
AreaPlacement PlaceScaledArea(ScreenSize room, int32_t area_width, int32_t area_height,
                              gdi::AreaFit fit);

}  // namespace slidesaver::platform
