#pragma once
#include <memory>

#include "platform/audio.h"
#include "platform/linux/sdl/sdl_context.h"

namespace slidesaver::linux_platform {

// The music behind MCI-style commands and the slide sounds behind PlaySound, on SDL2_mixer:
// MIDI (through a General MIDI soundfont), WAV, OGG and MP3. The audio device is open only
// while something plays (the show thread closes it through the context's posted calls);
// without one everything is silent.
std::unique_ptr<platform::Audio> MakeSdlAudio(std::shared_ptr<SdlContext> sdl);

}  // namespace slidesaver::linux_platform
