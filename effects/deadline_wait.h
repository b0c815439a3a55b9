#pragma once
// The pacing of the show: the display time of a slide and every frame of a transition.
#include <cstdint>

#include "platform/event_loop.h"

namespace slidesaver {

// The wait of the display time and of every effect frame: yield (blocking until a message
// arrives or the deadline passes), then the stop check, then the tick read; repeated while
// the tick is at or below the deadline. The body runs at least once.
// Returns false when a stop request ended the wait.
bool WaitForDeadline(platform::EventLoop& events, const bool& stop_requested, int64_t deadline);

}  // namespace slidesaver
