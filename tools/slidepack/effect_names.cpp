#include "tools/slidepack/effect_names.h"

#include <array>

namespace slidepack {

std::string EffectName(int32_t effect_number) {
  // In the order of effects/dispatch.cpp.
  static constexpr std::array<const char*, 35> kNames = {
      "split open left and right",
      "split open up and down",
      "random blocks",
      "blinds down",
      "slide in from left",
      "slide in from right",
      "slide in from top",
      "slide in from bottom",
      "spiral blocks",
      "box out from centre",
      "flip across",
      "flip over",
      "double flip across",
      "double flip over",
      "squeeze from left",
      "squeeze from top",
      "squeeze from right",
      "squeeze from bottom",
      "wipe from left",
      "wipe from top",
      "wipe from right",
      "wipe from bottom",
      "zoom in from centre",
      "zoom out to centre",
      "zoom through centre",
      "push from left",
      "push from top",
      "push from right",
      "roll up",
      "ellipse out from centre",
      "diamond out from centre",
      "clock sweep",
      "spiral sweep",
      "random columns",
      "random rows",
  };
  if (effect_number == 0) return "cut";
  if (effect_number < 1 || effect_number > 35) return "none (the picture stays)";
  return kNames[static_cast<size_t>(effect_number - 1)];
}

}  // namespace slidepack
