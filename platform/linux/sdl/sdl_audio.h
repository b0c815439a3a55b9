#pragma once
#include <memory>

#include "platform/audio.h"

namespace slidesaver::linux_platform {

// The music behind MCI-style commands and the slide sounds behind PlaySound, on SDL2_mixer:
// MIDI (through a General MIDI soundfont), WAV, OGG and MP3. The audio device is opened on
// first use; without one everything is silent.
std::unique_ptr<platform::Audio> MakeSdlAudio();

}  // namespace slidesaver::linux_platform
