#include "platform/linux/sdl/mixer_music_type.h"

namespace slidesaver::linux_platform {

Mix_MusicType MixerMusicType(media::SoundFormat format) {
  switch (format) {
    case media::SoundFormat::kWav:
      return MUS_WAV;
    case media::SoundFormat::kMidi:
      return MUS_MID;
    case media::SoundFormat::kOggVorbis:
      return MUS_OGG;
    case media::SoundFormat::kMp3:
      break;
  }
  return MUS_MP3;
}

}  // namespace slidesaver::linux_platform
