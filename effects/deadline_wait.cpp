#include "effects/deadline_wait.h"

namespace slidesaver {

bool WaitForDeadline(platform::EventLoop& events, const int16_t& stop_requested, int32_t deadline) {
  int32_t t;
  do {
    events.YieldUntil(deadline);
    if (stop_requested == -1) return false;
    t = events.TickCount();
  } while (t <= deadline);
  return true;
}

}  // namespace slidesaver
