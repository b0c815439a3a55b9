#include "effects/dispatch.h"

#include <array>

#include "effects/effect_module.h"

namespace slidesaver {

Effect EffectFor(int32_t effect_number) {
  static constexpr std::array<Effect, 35> kEffects = {
      SplitOpenLeftRight,
      SplitOpenUpDown,
      RandomBlocks,
      BlindsDown,
      SlideInFromLeft,
      SlideInFromRight,
      SlideInFromTop,
      SlideInFromBottom,
      SpiralBlocks,
      BoxOutFromCentre,
      FlipAcross,
      FlipOver,
      DoubleFlipAcross,
      DoubleFlipOver,
      SqueezeFromLeft,
      SqueezeFromTop,
      SqueezeFromRight,
      SqueezeFromBottom,
      WipeFromLeft,
      WipeFromTop,
      WipeFromRight,
      WipeFromBottom,
      ZoomInFromCentre,
      ZoomOutToCentre,
      ZoomThroughCentre,
      PushFromLeft,
      PushFromTop,
      PushFromRight,
      RollUp,
      EllipseOutFromCentre,
      DiamondOutFromCentre,
      ClockSweep,
      SpiralSweep,
      RandomColumns,
      RandomRows,
  };
  if (effect_number < 1 || effect_number > 35) return nullptr;
  return kEffects[effect_number - 1];
}

}  // namespace slidesaver
