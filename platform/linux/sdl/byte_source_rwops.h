#pragma once
// A ByteSource read through SDL's stream interface, for SDL_mixer's loaders: the decoders then
// read the very bytes the header check read, through the same open file.
#include <SDL.h>

#include <memory>

#include "platform/byte_source.h"

namespace slidesaver::linux_platform {

// Closing the stream (the loader's freesrc) lets the source go; null when SDL has no memory.
SDL_RWops* ByteSourceRWops(std::shared_ptr<const platform::ByteSource> source);

}  // namespace slidesaver::linux_platform
