#pragma once
#include <memory>

#include "platform/picture_loader.h"

namespace slidesaver::linux_platform {

// Decodes by content with SDL2_image; a missing file is FileNotFoundError, anything it can't
// decode InvalidPictureError.
std::unique_ptr<platform::PictureLoader> MakeSdlPictureLoader();

}  // namespace slidesaver::linux_platform
