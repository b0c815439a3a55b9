#pragma once
#include <memory>

#include "platform/audio.h"
#include "platform/linux/sdl/sdl_context.h"

namespace slidesaver::linux_platform {

// The show's music and slide sounds on SDL2_mixer: music in MIDI (through a General MIDI
// soundfont), WAV, Ogg Vorbis and MP3, streamed; slide sounds in WAV, as Windows plays them. A file is decoded only when its headers are within
// the players' bounds (media/sound_header.h); otherwise it is silent. The audio device is open
// only while something plays (the show thread closes it through the context's posted calls);
// without one everything is silent.
std::unique_ptr<platform::Audio> MakeSdlAudio(std::shared_ptr<SdlContext> sdl);

}  // namespace slidesaver::linux_platform
