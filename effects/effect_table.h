#pragma once
// Every transition a slide can name by its stored number, in one table: the number, its name for
// people, its frame pace and the procedure that draws it.
#include <cstdint>
#include <span>

#include "effects/frame.h"

namespace slidesaver {

struct EffectEntry {
  int32_t number;    // the stored EffectNumber
  const char* name;  // for people: "wipe from left"
  EffectPace pace;
  Effect draw;
};

// The stored numbers run from 1 to kEffectCount; 0 is a cut, any other number draws nothing.
inline constexpr int32_t kEffectCount = 35;

// Every entry, in the order of their numbers.
std::span<const EffectEntry, kEffectCount> EffectTable();

// The entry of a stored EffectNumber; null for 0 and for any number outside the table.
const EffectEntry* FindEffect(int32_t effect_number);

}  // namespace slidesaver
