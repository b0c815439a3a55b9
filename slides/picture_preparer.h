#pragma once
// What the slides ask of the picture library (libvips, in photos/): whether a file's bytes are a
// picture, and the picture made ready for the show area. The slides read the files; the
// preparer only ever sees bytes.
#include <atomic>
#include <cstdint>
#include <span>
#include <string>

#include "gdi/bitmap.h"
#include "media/picture_format.h"

namespace slidesaver {

// How a picture meets the show area: all of it inside, the background around (contain), or the
// area filled and what sticks out cut off (cover).
enum class AreaFit { kContain, kCover };

struct PictureArea {
  int32_t width = 0;
  int32_t height = 0;
  AreaFit fit = AreaFit::kContain;
  int32_t background = 0;  // 0x00BBGGRR: around the picture and under any transparency
};

// What a file's first bytes say.
struct PictureExamination {
  bool picture = false;  // a picture the preparer reads, told by content, never by name
  media::PictureFormat format = media::PictureFormat::kJpeg;
  std::string time_taken;  // EXIF "YYYY:MM:DD HH:MM:SS"; "" when it says none
  // Why the picture can't be prepared as it is (a damaged header, too many pixels); "" when it
  // may be. Headers may go on past the bytes examined: more bytes may mend it.
  std::string problem;
};

// A picture made ready, and where it goes in the show area.
struct PreparedSlide {
  gdi::Bitmap picture;
  int32_t x = 0;
  int32_t y = 0;
};

class PicturePreparer {
 public:
  virtual ~PicturePreparer() = default;
  virtual PictureExamination Examine(std::span<const uint8_t> bytes) = 0;
  // The picture of `bytes` (the picture's own, which the players' header check let through)
  // upright, in sRGB and fitted to the area. Throws std::runtime_error saying why it can't be,
  // without a file name. Once `abandon` is set it stops at its next read or band of pixels.
  virtual PreparedSlide Prepare(std::span<const uint8_t> bytes, const PictureArea& area,
                                const std::atomic<bool>& abandon) = 0;
  // `text` (UTF-8) drawn at most `max_width` pixels wide on `background` (0x00BBGGRR).
  virtual gdi::Bitmap Message(const std::string& text, int32_t max_width, int32_t background) = 0;
};

}  // namespace slidesaver
