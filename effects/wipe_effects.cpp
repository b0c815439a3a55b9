// Wipes: a growing band of the to-picture, unscaled and in place, uncovers it from one edge.
#include "effects/effect_module.h"

namespace slidesaver {

void WipeFromLeft(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const float end = f.W();
  const float step = Single(double{f.W()} / 20);
  ForFloatCounter(0, end, step, [&](float c) {
    // One column wider than the distance wiped, so the first frame already shows a column.
    return f.Frame([&] { f.Blt(0, 0, R(c + 1.0), R(f.H()), f.To(), 0, 0); });
  });
  f.LastFrame();
}

void WipeFromTop(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const float end = Single(double{f.H()} - 1);
  const float step = Single((double{f.H()} - 1) / 20);
  ForFloatCounter(0, end, step, [&](float c) {
    return f.Frame([&] { f.Blt(0, 0, R(f.W()), R(c), f.To(), 0, 0); });
  });
  f.LastFrame();
}

void WipeFromRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const float end = f.W();
  const float step = Single(double{f.W()} / 20);
  ForFloatCounter(0, end, step, [&](float c) {
    return f.Frame([&] {
      const int32_t left = R(double{f.W()} - c);
      f.Blt(left, 0, R(c), R(f.H()), f.To(), left, 0);
    });
  });
  f.LastFrame();
}

void WipeFromBottom(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const float end = Single(double{f.H()} - 1);
  const float step = Single((double{f.H()} - 1) / 20);
  ForFloatCounter(0, end, step, [&](float c) {
    return f.Frame([&] {
      // The band ends one row above the bottom edge; the last frame fills that row.
      const int32_t top = R(double{f.H()} - 1 - c);
      f.Blt(0, top, R(f.W()), R(c), f.To(), 0, top);
    });
  });
  f.LastFrame();
}

}  // namespace slidesaver
