#pragma once
// Where the show area lands in a window that is not the player's own full screen (the window of
// an X screen saver, a settings app's preview, the player's --window), and on the screen with a
// fit: centred as on the screen when the window holds it whole, else scaled down to fit, its
// aspect kept, and centred; enlarged to fill the room as the fit asks.
#include <cstdint>
#include <optional>

#include "gdi/area_scale.h"
#include "gdi/bitmap.h"
#include "platform/show_window.h"

namespace slidesaver::linux_platform {

// Where the show plays: the player's own full-screen window (/S), a window of another program
// (an X screen saver's window or a settings app's preview: --root, --window-id), or an ordinary
// window of the player's own (--window). Outside the full screen, input does not end the show,
// nothing is grabbed, no password is asked, and the desktop's saver is left alone.
struct ShowPlace {
  enum class Kind { Screen, ForeignWindow, OwnWindow };
  Kind kind = Kind::Screen;
  uint32_t window = 0;  // the X window of ForeignWindow
  gdi::AreaFit fit = gdi::AreaFit::OwnSize;
};

struct AreaPlacement {
  gdi::Rect on_window;  // window pixels; may reach past the window when not scaled
  bool scaled = false;  // on_window is not of the area's size
};

// A window or an area without pixels places nothing (an empty rectangle).
AreaPlacement PlaceArea(platform::ScreenSize window, int32_t area_width, int32_t area_height,
                        gdi::AreaFit fit = gdi::AreaFit::OwnSize);

// PlaceArea for a presenter that scales: an area too large for the scaler stays at its own size,
// centred, cut by the room.
AreaPlacement PlaceScaledArea(platform::ScreenSize room, int32_t area_width, int32_t area_height,
                              gdi::AreaFit fit);

// Makes `scale` the scaler from the area to the placement's size (none when it is not scaled)
// and `scaled` its target, with `shown` scaled whole when it is of the area's size. Both are kept
// when no size changed.
void FollowPlacement(const AreaPlacement& placement, int32_t area_width, int32_t area_height,
                     gdi::AreaFit fit, const gdi::Bitmap& shown,
                     std::optional<gdi::AreaScale>& scale, gdi::Bitmap& scaled);

}  // namespace slidesaver::linux_platform
