#pragma once
#include <cstdint>

#include "platform/event_loop.h"

namespace slidesaver {

// The wait of the display time and of every effect frame: yield (blocking until a message
// arrives or the deadline passes), then the stop check, then the tick read; repeated while
// the tick is at or below the deadline. The body runs at least once.
// Returns false when StopRequested (-1) ended the wait.
bool WaitForDeadline(platform::EventLoop& events, const int16_t& stop_requested, int32_t deadline);

}  // namespace slidesaver
