#pragma once
// A line of text drawn as a picture, for what the show area says instead of a photo.
#include <cstdint>
#include <string>

#include "gdi/bitmap.h"

namespace slidesaver::photos {

// `text` (UTF-8) at most `max_width` pixels wide, in white or black, whichever stands out on
// `background` (0x00BBGGRR), on that background. Throws PhotoError when it can't be drawn.
gdi::Bitmap MessagePicture(const std::string& text, int32_t max_width, int32_t background);

}  // namespace slidesaver::photos
