#pragma once
#include <cstdint>

#include "effects/frame.h"

namespace slidesaver {

// The transition of an EffectNumber 1 to 35; null for any other number.
Effect EffectFor(int32_t effect_number);

}  // namespace slidesaver
