#pragma once
// What every transition shares: its arguments, the frame context and the frame pacing.
#include <cstdint>
#include <type_traits>
#include <utility>

#include "common/arith.h"
#include "effects/random.h"
#include "gdi/dc.h"
#include "gdi/painter.h"
#include "gdi/surface.h"
#include "platform/event_loop.h"

namespace slidesaver {

// How a transition paces its frames: each frame's deadline is interval_ms / speed factor after
// its start; some transitions also refresh their last frame themselves.
struct EffectPace {
  int32_t interval_ms;
  bool refreshes_last_frame;
};

// The show's values an effect reads, the clock and message loop it paces with, the painter its
// drawing calls go through, and the pace of the transition being drawn.
struct FrameContext {
  platform::EventLoop& events;
  const bool& stop_requested;  // the user asked the show to end
  int32_t speed_factor;        // 2 ^ SpeedExponent of the outgoing slide
  Random& random;              // the process's one generator
  gdi::Painter& painter;
  EffectPace pace;
};

using Effect = void (*)(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                        FrameContext& ctx);

// The frame skeleton around an effect's own loop:
//   EffectFrame f(target, from, to, ctx);   // paced as ctx.pace says
//   f.FirstFrame();
//   ...loop set-up...
//   for (...) { if (!f.Frame([&] { ...draw... })) break; }
//   f.LastFrame();
class EffectFrame {
 public:
  EffectFrame(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx)
      : target_(target), from_(from), to_(to), ctx_(ctx) {}

  // The whole from-picture onto the target, not refreshed.
  void FirstFrame();

  // One animation frame: deadline R(interval / speed_factor + t0) taken before drawing, draw(),
  // refresh, after_refresh(), then the wait. Returns false when the effect must leave its
  // loop: stop_requested ended the wait, or draw() returned false (then nothing after it runs).
  template <class Draw, class AfterRefresh>
  bool Frame(Draw&& draw, AfterRefresh&& after_refresh) {
    const int64_t deadline = Deadline();
    if constexpr (std::is_same_v<decltype(draw()), bool>) {
      if (!draw()) return false;
    } else {
      draw();
    }
    target_.Refresh();
    after_refresh();
    return Wait(deadline);
  }
  template <class Draw>
  bool Frame(Draw&& draw) {
    return Frame(std::forward<Draw>(draw), [] {});
  }

  // The whole to-picture onto the target; refreshed for the effects that ask for it.
  void LastFrame();

  // W and H: the target's scale width and height, read at each use.
  float W() const { return target_.ScaleWidth(); }
  float H() const { return target_.ScaleHeight(); }

  // BitBlt(x, y, w, h, P, sx, sy) and StretchBlt(...) into the target with SRCCOPY.
  void Blt(int32_t x, int32_t y, int32_t w, int32_t h, const gdi::Surface& p, int32_t sx,
           int32_t sy);
  void Stretch(int32_t x, int32_t y, int32_t w, int32_t h, const gdi::Surface& p, int32_t sx,
               int32_t sy, int32_t sw, int32_t sh);
  // Clearing: a filled black box from (-1, -1) to (W, H) with the target's box drawing.
  void ClearToBlack();
  // The target's clip region (null: none).
  void SelectClip(const gdi::Region* region);

  const gdi::Surface& From() const { return from_; }
  const gdi::Surface& To() const { return to_; }
  FrameContext& Context() { return ctx_; }

 private:
  int64_t Deadline();
  bool Wait(int64_t deadline);

  gdi::Surface& target_;
  gdi::Surface& from_;
  gdi::Surface& to_;
  FrameContext& ctx_;
};

// A float-counted loop: c, end and step are single precision; the pass runs while c <= end
// and c = single(c + step) after each pass. body(c) returns false to leave the loop.
// A counter that does not grow (a step of zero or less on a tiny target, or one lost in
// single precision) would never pass the end: the loop stops after that pass instead.
template <class Body>
void ForFloatCounter(float start, float end, float step, Body&& body) {
  for (float c = start; c <= end;) {
    if (!body(c)) return;
    const float next = Single(static_cast<double>(c) + step);
    if (!(next > c)) return;
    c = next;
  }
}

// An integer-counted loop from first to last inclusive. body(i) returns false to leave.
template <class Body>
void ForIntCounter(int32_t first, int32_t last, Body&& body) {
  for (int64_t i = first; i <= last; ++i) {
    if (!body(static_cast<int32_t>(i))) return;
  }
}

}  // namespace slidesaver
