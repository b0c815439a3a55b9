#pragma once
// What each stored effect number does, in words, for people reading a show's summary.
#include <cstdint>
#include <string>

namespace slidepack {

// "cut" for 0, "wipe from left" for 19, ...; numbers outside the effect table draw nothing.
std::string EffectName(int32_t effect_number);

}  // namespace slidepack
