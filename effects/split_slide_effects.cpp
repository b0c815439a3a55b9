// Split and slide transitions: plain copies of moving rectangles, counted by a single-precision
// counter that crosses its span in about 20 steps.
#include "effects/effect_module.h"

namespace slidesaver {
namespace {

// Runs the float-counted loop from 0 to end by step; draw(c) draws one frame.
template <class Draw>
void CountedTransition(EffectFrame& frame, float end, float step, Draw&& draw) {
  ForFloatCounter(0.0f, end, step, [&](float counter) {
    const double c = counter;
    return frame.Frame([&] { draw(c); });
  });
}

}  // namespace

void SplitOpenLeftRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                        FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const int32_t half = R(f.W() / 2.0);
  CountedTransition(f, Single(half), Single(half / 20.0), [&](double c) {
    f.Blt(0, 0, R(half - c), R(f.H()), from, R(c), 0);
    f.Blt(R(c + half), 0, R(half - c), R(f.H()), from, half, 0);
    f.Blt(R(half - c), 0, R(2 * c), R(f.H()), to, R(half - c), 0);
  });
  f.LastFrame();
}

void SplitOpenUpDown(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                     FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const int32_t half = R(f.H() / 2.0);
  CountedTransition(f, Single(half), Single(half / 20.0), [&](double c) {
    f.Blt(0, 0, R(f.W()), R(half - c), from, 0, R(c));
    f.Blt(0, R(c + half), R(f.W()), R(half - c), from, 0, half);
    f.Blt(0, R(half - c), R(f.W()), R(2 * c), to, 0, R(half - c));
  });
  f.LastFrame();
}

// The right part of B enters at the left edge; its source column is ((W - 1) - c) + 1 = W - c.
void SlideInFromLeft(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                     FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  CountedTransition(f, f.W(), Single(f.W() / 20.0),
                    [&](double c) { f.Blt(0, 0, R(c + 1), R(f.H()), to, R(f.W() - c), 0); });
  f.LastFrame();
}

void SlideInFromRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const double w1 = f.W() - 1.0;
  CountedTransition(f, Single(w1), Single(w1 / 20.0),
                    [&](double c) { f.Blt(R(f.W() - c), 0, R(c), R(f.H()), to, 0, 0); });
  f.LastFrame();
}

void SlideInFromTop(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  CountedTransition(f, f.H(), Single(f.H() / 20.0),
                    [&](double c) { f.Blt(0, 0, R(f.W()), R(c + 1), to, 0, R(f.H() - c)); });
  f.LastFrame();
}

// The top rows of B with their lower edge on row H - 1: the bottom row keeps A until the end.
void SlideInFromBottom(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                       FrameContext& ctx) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const double h1 = f.H() - 1.0;
  CountedTransition(f, Single(h1), Single(h1 / 20.0),
                    [&](double c) { f.Blt(0, R(f.H() - 1.0 - c), R(f.W()), R(c), to, 0, 0); });
  f.LastFrame();
}

}  // namespace slidesaver
