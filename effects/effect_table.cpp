#include "effects/effect_table.h"

#include <array>

#include "effects/effect_module.h"

namespace slidesaver {
namespace {

constexpr std::array<EffectEntry, kEffectCount> kEffects = {{
    {1, "split open left and right", {50, false}, SplitOpenLeftRight},
    {2, "split open up and down", {50, false}, SplitOpenUpDown},
    {3, "random blocks", {40, false}, RandomBlocks},
    {4, "blinds down", {40, false}, BlindsDown},
    {5, "slide in from left", {50, false}, SlideInFromLeft},
    {6, "slide in from right", {50, false}, SlideInFromRight},
    {7, "slide in from top", {50, false}, SlideInFromTop},
    {8, "slide in from bottom", {50, false}, SlideInFromBottom},
    {9, "spiral blocks", {40, false}, SpiralBlocks},
    {10, "box out from centre", {40, false}, BoxOutFromCentre},
    {11, "flip across", {20, true}, FlipAcross},
    {12, "flip over", {20, true}, FlipOver},
    {13, "double flip across", {10, true}, DoubleFlipAcross},
    {14, "double flip over", {10, true}, DoubleFlipOver},
    {15, "squeeze from left", {25, true}, SqueezeFromLeft},
    {16, "squeeze from top", {25, true}, SqueezeFromTop},
    {17, "squeeze from right", {25, true}, SqueezeFromRight},
    {18, "squeeze from bottom", {25, true}, SqueezeFromBottom},
    {19, "wipe from left", {50, false}, WipeFromLeft},
    {20, "wipe from top", {50, false}, WipeFromTop},
    {21, "wipe from right", {50, false}, WipeFromRight},
    {22, "wipe from bottom", {50, false}, WipeFromBottom},
    {23, "zoom in from centre", {40, false}, ZoomInFromCentre},
    {24, "zoom out to centre", {40, false}, ZoomOutToCentre},
    {25, "zoom through centre", {20, false}, ZoomThroughCentre},
    {26, "push from left", {40, false}, PushFromLeft},
    {27, "push from top", {40, false}, PushFromTop},
    {28, "push from right", {40, false}, PushFromRight},
    {29, "roll up", {40, false}, RollUp},
    {30, "ellipse out from centre", {40, false}, EllipseOutFromCentre},
    {31, "diamond out from centre", {40, false}, DiamondOutFromCentre},
    {32, "clock sweep", {40, false}, ClockSweep},
    {33, "spiral sweep", {8, false}, SpiralSweep},
    {34, "random columns", {40, false}, RandomColumns},
    {35, "random rows", {40, false}, RandomRows},
}};

// The table is indexed by number - 1.
constexpr bool NumberedInOrder() {
  for (size_t i = 0; i < kEffects.size(); ++i) {
    if (kEffects[i].number != static_cast<int32_t>(i) + 1) return false;
  }
  return true;
}
static_assert(NumberedInOrder());

}  // namespace

std::span<const EffectEntry, kEffectCount> EffectTable() { return kEffects; }

const EffectEntry* FindEffect(int32_t effect_number) {
  if (effect_number < 1 || effect_number > kEffectCount) return nullptr;
  return &kEffects[static_cast<size_t>(effect_number - 1)];
}

}  // namespace slidesaver
