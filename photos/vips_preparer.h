#pragma once
// The slides' picture preparer made of the photo pieces: libvips examines and prepares the
// pictures as `slidepack build` prepares them, and draws the folder show's message.
#include "slides/picture_preparer.h"

namespace slidesaver::photos {

class VipsPreparer : public PicturePreparer {
 public:
  PictureExamination Examine(std::span<const uint8_t> bytes) override;
  PreparedSlide Prepare(std::span<const uint8_t> bytes, const PictureArea& area,
                        const std::atomic<bool>& abandon) override;
  gdi::Bitmap Message(const std::string& text, int32_t max_width, int32_t background) override;
};

}  // namespace slidesaver::photos
