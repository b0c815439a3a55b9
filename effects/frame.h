#pragma once
// What every transition shares: its arguments, the frame context, the frame skeleton.
#include <cstdint>
#include <functional>

#include "effects/random.h"
#include "platform/event_loop.h"
#include "platform/gdi/surface.h"

namespace slidesaver {

// The show's values an effect reads, and the clock and message loop it paces with.
struct FrameContext {
  platform::EventLoop& events;
  const int16_t& StopRequested;  // -1: the user asked the show to end
  int32_t SpeedFactor;           // 2 ^ SpeedExponent of the outgoing slide
  Random& random;                // the process's one generator
};

using Effect = void (*)(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                        FrameContext& ctx);

}  // namespace slidesaver
