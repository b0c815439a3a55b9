// Roll and random strips: plain copies of the to-picture, without clip regions.
#include <array>
#include <cmath>

#include "effects/effect_module.h"

namespace slidesaver {

// The to-picture shifted up by c rows, its top c rows wrapped round to the bottom, rolling
// through one full turn. Neither copy reaches the target's bottom row before the last frame.
void RollUp(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const float end = Single(double{f.H()} - 1);
  const float step = Single((double{f.H()} - 1) / 20);
  ForFloatCounter(0, end, step, [&](float c) {
    return f.Frame([&] {
      f.Blt(0, 0, R(f.W()), R((double{f.H()} - 1) - c), f.To(), 0, R(c));
      f.Blt(0, R((double{f.H()} - 1) - c), R(f.W()), R(c), f.To(), 0, 0);
    });
  });
  f.LastFrame();
}

namespace {

constexpr int32_t kStripCount = 25;

// One strip per frame in random order until all 25 are shown. draw_strip(m) copies strip m.
// The choice loop doesn't yield: it reads stop_requested only after a draw that hit a strip
// already shown, and then leaves the animation at once.
template <class DrawStrip>
void RandomStrips(EffectFrame& f, DrawStrip&& draw_strip) {
  std::array<bool, kStripCount> shown{};
  ForIntCounter(0, kStripCount - 1, [&](int32_t) {
    return f.Frame([&] {
      FrameContext& ctx = f.Context();
      int32_t m;
      for (;;) {
        m = static_cast<int32_t>(std::floor(double{ctx.random.Next()} * kStripCount));
        if (!shown[m]) break;
        if (ctx.stop_requested) return false;
      }
      shown[m] = true;
      draw_strip(m);
      return true;
    });
  });
}

}  // namespace

void RandomColumns(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  // A 25th of the width plus one, so the strips together reach across (and past) the target.
  const int32_t sw = R(double{f.W()} / kStripCount + 1);
  const int32_t sh = R(f.H());
  RandomStrips(f, [&](int32_t m) {
    const int32_t left = Mul32(sw, m);
    f.Blt(left, 0, sw, sh, f.To(), left, 0);
  });
  f.LastFrame();
}

void RandomRows(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const int32_t sw = R(f.W());
  const int32_t sh = R(double{f.H()} / kStripCount + 1);
  RandomStrips(f, [&](int32_t m) {
    const int32_t top = Mul32(sh, m);
    f.Blt(0, top, sw, sh, f.To(), 0, top);
  });
  f.LastFrame();
}

}  // namespace slidesaver
