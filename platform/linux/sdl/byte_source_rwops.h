#pragma once
// A ByteSource read through SDL's stream interface, for the loaders of SDL_mixer and SDL2_image:
// the decoders read the very bytes the header check read, through the same open file, a piece at
// a time (the file is never held in memory beside what is decoded), and nothing past `extent`
// (where the picture or sound ends). Once `stop` says so every read fails, and the decoder gives
// up.
#include <SDL.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <memory>

#include "media/byte_source.h"

namespace slidesaver::linux_platform {

// The stream holds the source: closing it (a loader's freesrc) lets both go. Null when SDL has
// no memory.
SDL_RWops* ByteSourceRWops(std::shared_ptr<const media::ByteSource> source,
                           uint64_t extent = std::numeric_limits<uint64_t>::max(),
                           std::function<bool()> stop = {});

}  // namespace slidesaver::linux_platform
