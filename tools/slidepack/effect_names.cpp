#include "tools/slidepack/effect_names.h"

#include "effects/effect_table.h"

namespace slidepack {

std::string EffectName(int32_t effect_number) {
  if (effect_number == 0) return "cut";
  if (const slidesaver::EffectEntry* effect = slidesaver::FindEffect(effect_number)) {
    return effect->name;
  }
  return "none (the picture stays)";
}

}  // namespace slidepack
