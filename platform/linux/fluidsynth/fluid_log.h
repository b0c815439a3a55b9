#pragma once

namespace slidesaver::linux_platform {

// FluidSynth's own log goes nowhere, at every level: a file it can't play is silence, and some
// would write megabytes of warnings a second to standard error ("Ringbuffer full").
void SilenceFluidSynthLog();

}  // namespace slidesaver::linux_platform
