#pragma once
#include <cstdint>

namespace slidesaver::platform {

// The millisecond clock and the message loop of the one show thread.
class EventLoop {
 public:
  virtual ~EventLoop() = default;
  // Milliseconds since the player started: 64 bits, so no run of the show ever sees it wrap.
  virtual int64_t TickCount() = 0;
  // Processes all pending window messages (which runs the input handlers) and returns.
  virtual void Yield() = 0;
  // Like Yield, but first blocks until a message arrives or TickCount() > deadline,
  // so that waits don't spin a core. Returns at once when the deadline has passed.
  virtual void YieldUntil(int64_t deadline) = 0;
};

}  // namespace slidesaver::platform
