#pragma once
// The values the running show shares between its loop, its input handlers and the effects.
#include <cstdint>

#include "effects/random.h"
#include "platform/show_window.h"

namespace slidesaver {

struct ShowState {
  bool stop_requested = false;       // a key, a button or a mouse movement asked the show to end
  int32_t speed_factor = 0;          // 2 ^ SpeedExponent of the outgoing slide
  int32_t current_slide = 0;         // index into Slides of the slide on the screen
  platform::Point start_cursor_pos;  // where the cursor rested when the show (re)started
  Random random;                     // the one generator of the process
  // The system asked the show to end (a signal, the window's close request): the show
  // ends through the normal shutdown without asking for the password, and no restart
  // clears the stop request.
  bool close_requested = false;
};

}  // namespace slidesaver
