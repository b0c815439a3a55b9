#pragma once
// The decoder of SDL_mixer that streams music of a format the header check found, and no other:
// the player's choice, which the sound fuzzer makes too.
#include <SDL_mixer.h>

#include "media/sound_header.h"

namespace slidesaver::linux_platform {

Mix_MusicType MixerMusicType(media::SoundFormat format);

}  // namespace slidesaver::linux_platform
