#pragma once
// A picture made ready for a show area: decoded by its content, turned upright by its EXIF
// orientation, converted to sRGB through its ICC profile, transparency laid on the show's
// background colour, resized with libvips' high-quality filters and encoded as a baseline
// YCbCr JPEG that both players decode.
#include <atomic>
#include <cstdint>
#include <span>
#include <vector>

#include "gdi/bitmap.h"
#include "photos/picture_facts.h"
#include "photos/picture_options.h"

namespace slidesaver::photos {

struct PrepareSettings {
  int32_t area_width = 0;
  int32_t area_height = 0;
  Fit fit = Fit::kContain;  // contain or cover
  int32_t background = 0;   // 0x00BBGGRR
  int quality = kDefaultQuality;
  double max_upscale = 1.0;  // never enlarged by more than this
};

struct Size {
  int width = 0;
  int height = 0;
  bool operator==(const Size&) const = default;
};

// The size the picture is brought to: `upright` is the picture's size once turned upright.
// contain: all of it inside the area; cover: the area filled, what sticks out cut off. The
// scale never goes past max_upscale, so a small picture stays small.
Size FittedSize(Size upright, const PrepareSettings& settings);

struct PreparedPicture {
  std::vector<uint8_t> jpeg;
  int width = 0;
  int height = 0;
  int32_t x = 0;  // centred in the show area
  int32_t y = 0;
};

// Throws PhotoError (without a file name) when the picture does not decode completely.
PreparedPicture PreparePicture(std::span<const uint8_t> bytes, const PictureFacts& facts,
                               const PrepareSettings& settings);

// The same picture as the player's folder shows it: the pixels themselves, not a JPEG.
struct PreparedBitmap {
  gdi::Bitmap picture;
  int32_t x = 0;  // centred in the show area
  int32_t y = 0;
};
// Once `abandon` is set, the preparation stops at its next read of the bytes or band of pixels
// (PhotoError).
PreparedBitmap PrepareBitmap(std::span<const uint8_t> bytes, const PictureFacts& facts,
                             const PrepareSettings& settings, const std::atomic<bool>& abandon);

}  // namespace slidesaver::photos
