#pragma once
// The music and the slides' sounds are checked as the players check them before decoding:
// one the players would leave silent is refused at build, with its manifest line.
#include "media/sound_header.h"
#include "package/package.h"
#include "tools/slidepack/manifest.h"

namespace slidepack {

// Throws the LineError "sound a.wav can't be played: a WAV of 1 Hz, outside ...". An empty
// file passes: it is stored as no bytes, and plays nothing.
void CheckSoundFile(const Manifest& manifest, const ManifestFile& file,
                    const slidesaver::Bytes& bytes, slidesaver::media::SoundUse use);

}  // namespace slidepack
