#pragma once
// The transitions of effects/effect_table.h. Each draws its frames into target, from the
// from-picture to the to-picture, and always ends with the whole to-picture on the target.
#include "effects/frame.h"

namespace slidesaver {

void SplitOpenLeftRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                        FrameContext& ctx);
void SplitOpenUpDown(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void RandomBlocks(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void BlindsDown(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void SlideInFromLeft(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void SlideInFromRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx);
void SlideInFromTop(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void SlideInFromBottom(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                       FrameContext& ctx);
void SpiralBlocks(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void BoxOutFromCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx);
void FlipAcross(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void FlipOver(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void DoubleFlipAcross(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx);
void DoubleFlipOver(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void SqueezeFromLeft(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void SqueezeFromTop(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void SqueezeFromRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx);
void SqueezeFromBottom(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                       FrameContext& ctx);
void WipeFromLeft(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void WipeFromTop(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void WipeFromRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void WipeFromBottom(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void ZoomInFromCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                      FrameContext& ctx);
void ZoomOutToCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void ZoomThroughCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                       FrameContext& ctx);
void PushFromLeft(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void PushFromTop(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void PushFromRight(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void RollUp(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void EllipseOutFromCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                          FrameContext& ctx);
void DiamondOutFromCentre(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to,
                          FrameContext& ctx);
void ClockSweep(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void SpiralSweep(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void RandomColumns(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);
void RandomRows(gdi::Surface& target, gdi::Surface& from, gdi::Surface& to, FrameContext& ctx);

}  // namespace slidesaver
