#pragma once
// Minimal picture loader: no file decodes. (The show's tests replace this with a real decoder
// or scripted bitmaps.)
#include "common/run_time_error.h"
#include "platform/picture_loader.h"

namespace slidesaver::fake {

class FakePictures : public platform::PictureLoader {
 public:
  gdi::Bitmap Load(const std::string& path) override { throw InvalidPictureError(path); }
};

}  // namespace slidesaver::fake
