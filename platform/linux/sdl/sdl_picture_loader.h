#pragma once
#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "platform/gdi/bitmap.h"
#include "platform/picture_loader.h"

namespace slidesaver::linux_platform {

// Decodes by content with SDL2_image; a missing file is FileNotFoundError, anything it can't
// decode InvalidPictureError.
std::unique_ptr<platform::PictureLoader> MakeSdlPictureLoader();

// The loader's work on a picture file's bytes: the header check, then the decode. `name`
// names the picture in an InvalidPictureError.
gdi::Bitmap DecodeSdlPicture(std::span<const uint8_t> bytes, const std::string& name);

}  // namespace slidesaver::linux_platform
