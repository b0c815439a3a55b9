#pragma once
// What slidepack and the player's folder need to know about a picture before they store or
// prepare it: whether it is a picture at all (told by its content, never by its name), its
// format and size, which players can decode it as it is, and when it was taken.
#include <cstdint>
#include <optional>
#include <span>
#include <string>

#include "media/memory_bounds.h"
#include "media/picture_format.h"

namespace slidesaver::photos {

struct PictureFacts {
  media::PictureFormat format = media::PictureFormat::kJpeg;
  int width = 0;  // as stored, before the orientation is applied
  int height = 0;
  int orientation = 1;       // EXIF orientation, 1 to 8
  bool cmyk = false;         // a JPEG in CMYK or YCCK
  bool icc_profile = false;  // an embedded colour profile
  int jpeg_frame = 0;        // a JPEG's frame header marker
  std::string time_taken;    // EXIF "YYYY:MM:DD HH:MM:SS", or "" when the picture has none
};

// The facts from the picture's header, or nothing when the bytes are no picture slidepack reads
// (JPEG, PNG, GIF, BMP, TIFF, WebP, HEIF/HEIC/AVIF). Throws PhotoError (without a file name)
// for a picture whose header is damaged or whose size is beyond media::kMaxSourcePhotoPixels.
std::optional<PictureFacts> ReadPictureFacts(std::span<const uint8_t> bytes);

// "JPEG", "PNG", "CMYK JPEG", "HEIF", ...
std::string DescribeFormat(const PictureFacts& facts);

// The Windows player decodes sequential and progressive JPEG in YCbCr or grey, GIF and BMP.
bool WindowsPlayerDecodes(const PictureFacts& facts);
// The Linux player decodes those and PNG, TIFF and WebP.
bool LinuxPlayerDecodes(const PictureFacts& facts);

// Decodes every pixel (at a reduced size where the format allows it, which still reads all of
// the data). Throws PhotoError with the decoder's reason when the picture is incomplete
// or damaged (for a JPEG, when its decoder warns of anything).
void CheckDecodesCompletely(std::span<const uint8_t> bytes, const PictureFacts& facts);

}  // namespace slidesaver::photos
