// Flip transitions: a whole picture stretched into a band centred on the target that narrows
// to nothing and widens again, like a card turned about its centre line.
#include "effects/effect_module.h"

namespace slidesaver {
namespace {

enum class Axis { Across, Over };  // Across squeezes the width, Over the height

// The whole picture P stretched into the band whose edge is at inset p from the left (Across)
// or top (Over) edge. When p passes the centre line the extent is negative: a mirrored picture.
void StretchAtInset(EffectFrame& f, Axis axis, int32_t p, const gdi::Surface& picture) {
  const int32_t two_p = Mul32(2, p);
  if (axis == Axis::Across) {
    f.Stretch(p, 0, R(f.W() - static_cast<double>(two_p)), R(f.H()), picture, 0, 0, R(f.W()),
              R(f.H()));
  } else {
    f.Stretch(0, p, R(f.W()), R(f.H() - static_cast<double>(two_p)), picture, 0, 0, R(f.W()),
              R(f.H()));
  }
}

float InsetStep(const EffectFrame& f, Axis axis) {
  return Single((axis == Axis::Across ? f.W() : f.H()) / 20.0);
}

// Frames 0-10: A narrows over black; frames 11-19: B widens out of the centre line.
void Flip(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx,
          Axis axis) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const double d = InsetStep(f, axis);
  int32_t p = 0;
  ForIntCounter(0, 19, [&](int32_t k) {
    return f.Frame([&] {
      if (k <= 10) {
        f.ClearToBlack();
        StretchAtInset(f, axis, p, from);
        p = R(p + d);
      } else {
        p = R(p - d);
        StretchAtInset(f, axis, p, to);
      }
    });
  });
  f.LastFrame();
}

// Frames 0-20 turn A and back, frames 21-39 turn B and back; nothing is cleared. The inset
// moves after the stretch in the first half and before it in the second, so frames 11 and 30
// overshoot the centre line and draw mirrored.
void DoubleFlip(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx,
                Axis axis) {
  EffectFrame f(target, from, to, ctx);
  f.FirstFrame();
  const double d = InsetStep(f, axis);
  int32_t p = 0;
  ForIntCounter(0, 39, [&](int32_t k) {
    return f.Frame([&] {
      if (k <= 20) {
        StretchAtInset(f, axis, p, from);
        p = k <= 10 ? R(p + d) : R(p - d);
      } else {
        p = k <= 30 ? R(p + d) : R(p - d);
        StretchAtInset(f, axis, p, to);
      }
    });
  });
  f.LastFrame();
}

}  // namespace

void FlipAcross(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  Flip(target, from, to, ctx, Axis::Across);
}
void FlipOver(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  Flip(target, from, to, ctx, Axis::Over);
}
void DoubleFlipAcross(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx) {
  DoubleFlip(target, from, to, ctx, Axis::Across);
}
void DoubleFlipOver(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  DoubleFlip(target, from, to, ctx, Axis::Over);
}

}  // namespace slidesaver
