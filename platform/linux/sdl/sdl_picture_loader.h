#pragma once
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>

#include "gdi/bitmap.h"
#include "media/byte_source.h"
#include "platform/picture_loader.h"

namespace slidesaver::linux_platform {

// Decodes by content (JPEG with libjpeg-turbo, the others with SDL2_image); a missing file is
// FileNotFoundError, anything it can't decode InvalidPictureError. Pictures that fit
// kDecodedPictureCacheBytes are decoded once and kept. The decoding stops when
// `close_requested` answers true, with ProcessExit{0}.
std::unique_ptr<platform::PictureLoader> MakeSdlPictureLoader(
    std::function<bool()> close_requested = {});

// The loader's work on a picture file: the header check, then the decode, which reads no byte
// past the picture's end. `name` names the picture in an InvalidPictureError.
gdi::Bitmap DecodePicture(const media::ByteSource& file, const std::string& name,
                          const std::function<bool()>& close_requested = {});
// The same on bytes in memory.
gdi::Bitmap DecodeSdlPicture(std::span<const uint8_t> bytes, const std::string& name);

}  // namespace slidesaver::linux_platform
