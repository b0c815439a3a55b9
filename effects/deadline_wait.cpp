#include "effects/deadline_wait.h"

namespace slidesaver {

bool WaitForDeadline(platform::EventLoop& events, const bool& stop_requested, int64_t deadline) {
  int64_t t;
  do {
    events.YieldUntil(deadline);
    if (stop_requested) return false;
    t = events.TickCount();
  } while (t <= deadline);
  return true;
}

}  // namespace slidesaver
