// Pushes: the to-picture slides in from one edge and pushes the from-picture out over the
// opposite one; both move together, unscaled.
#include "effects/effect_module.h"

namespace slidesaver {

// B's band is one column wider than the distance pushed and drawn after A's band. Its last
// source column lies just beyond B, so the drawing layer leaves the overlap column with the
// pixel A's band put there.
void PushFromLeft(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const float end = f.W();
  const float step = Single(double{f.W()} / 20);
  ForFloatCounter(0, end, step, [&](float c) {
    return f.Frame([&] {
      f.Blt(R(c), 0, R(double{f.W()} - c), R(f.H()), f.From(), 0, 0);
      f.Blt(0, 0, R(c + 1.0), R(f.H()), f.To(), R((double{f.W()} - 1 - c) + 1), 0);
    });
  });
  f.LastFrame();
}

// As PushFromLeft, by rows.
void PushFromTop(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const float end = f.H();
  const float step = Single(double{f.H()} / 20);
  ForFloatCounter(0, end, step, [&](float c) {
    return f.Frame([&] {
      f.Blt(0, R(c), R(f.W()), R((double{f.H()} - 1 - c) + 1), f.From(), 0, 0);
      f.Blt(0, 0, R(f.W()), R(c + 1.0), f.To(), 0, R((double{f.H()} - 1 - c) + 1));
    });
  });
  f.LastFrame();
}

// The two bands meet without overlap; the counter stops at W - 1.
void PushFromRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const float end = Single(double{f.W()} - 1);
  const float step = Single((double{f.W()} - 1) / 20);
  ForFloatCounter(0, end, step, [&](float c) {
    return f.Frame([&] {
      f.Blt(0, 0, R(double{f.W()} - c), R(f.H()), f.From(), R(c), 0);
      f.Blt(R(double{f.W()} - c), 0, R(c), R(f.H()), f.To(), 0, 0);
    });
  });
  f.LastFrame();
}

}  // namespace slidesaver
