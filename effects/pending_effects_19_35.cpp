// Transitions not drawn yet: they copy the to-picture plainly.
#include "effects/effect_module.h"

namespace slidesaver {
namespace {
void PlainCopy(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx) {
  EffectFrame frame(target, from, to, ctx, 0, false);
  frame.LastFrame();
}
}  // namespace

void WipeFromLeft(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void WipeFromTop(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void WipeFromRight(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void WipeFromBottom(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void ZoomInFromCentre(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void ZoomOutToCentre(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void ZoomThroughCentre(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void PushFromLeft(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void PushFromTop(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void PushFromRight(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void RollUp(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void EllipseOutFromCentre(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void DiamondOutFromCentre(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void ClockSweep(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void SpiralSweep(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void RandomColumns(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}
void RandomRows(gdi::Surface& t, gdi::Surface& a, gdi::Surface& b, FrameContext& c) {
  PlainCopy(t, a, b, c);
}

}  // namespace slidesaver
