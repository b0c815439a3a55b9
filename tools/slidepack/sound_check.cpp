#include "tools/slidepack/sound_check.h"

#include "tools/slidepack/files.h"
#include "tools/slidepack/slidepack_error.h"

namespace slidepack {

void CheckSoundFile(const Manifest& manifest, const ManifestFile& file,
                    const slidesaver::Bytes& bytes, slidesaver::media::SoundUse use) {
  // An empty file is stored as the Package's "no bytes", which plays nothing.
  if (!bytes.Source()) return;
  const bool music = use == slidesaver::media::SoundUse::kMusic;
  const std::string problem = slidesaver::media::CheckSoundBeforeDecoding(*bytes.Source(), use);
  if (!problem.empty()) {
    throw LineError(manifest, file.line,
                    std::string(music ? "music " : "sound ") + file.path.string() +
                        " can't be played: " + problem);
  }
}

}  // namespace slidepack
