#pragma once
#include <string>

#include "gdi/bitmap.h"

namespace slidesaver::platform {

class PictureLoader {
 public:
  virtual ~PictureLoader() = default;
  // Decodes a picture file by its content into a bitmap of the picture's own size.
  // A missing file throws FileNotFoundError, an undecodable one InvalidPictureError.
  virtual gdi::Bitmap Load(const std::string& path) = 0;
};

}  // namespace slidesaver::platform
