#include "platform/linux/fluidsynth/fluid_log.h"

#include <fluidsynth.h>

namespace slidesaver::linux_platform {

void SilenceFluidSynthLog() {
  for (int level = FLUID_PANIC; level <= FLUID_DBG; ++level) {
    fluid_set_log_function(
        level, [](int, const char*, void*) {}, nullptr);
  }
}

}  // namespace slidesaver::linux_platform
