#pragma once
// Where the show plays on Linux; the placement of its area in a target is the platform's
// (platform/area_placement.h).
#include <cstdint>

#include "gdi/area_scale.h"
#include "platform/area_placement.h"

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

}  // namespace slidesaver::linux_platform
