// Transitions not drawn yet: they copy the to-picture plainly.
#include "effects/effect_module.h"

namespace slidesaver {
namespace {
void PlainCopy(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame frame(target, from, to, ctx, 0, false);
  frame.LastFrame();
}
}  // namespace

void SplitOpenLeftRight(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SplitOpenUpDown(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void RandomBlocks(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void BlindsDown(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SlideInFromLeft(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SlideInFromRight(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SlideInFromTop(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SlideInFromBottom(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SpiralBlocks(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void BoxOutFromCentre(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void FlipAcross(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void FlipOver(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void DoubleFlipAcross(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void DoubleFlipOver(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SqueezeFromLeft(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SqueezeFromTop(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SqueezeFromRight(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SqueezeFromBottom(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}

}  // namespace slidesaver
