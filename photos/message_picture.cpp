#include "photos/message_picture.h"

#include <algorithm>
#include <memory>

#include "photos/photo_error.h"
#include "photos/vips_library.h"

namespace slidesaver::photos {

gdi::Bitmap MessagePicture(const std::string& text, int32_t max_width, int32_t background) {
  StartVips();
  try {
    // The text's coverage, 0 to 255 per pixel.
    const vips::VImage mask =
        vips::VImage::text(text.c_str(), vips::VImage::option()
                                             ->set("width", std::max(max_width, 1))
                                             ->set("dpi", 96)
                                             ->set("font", "sans 20")
                                             ->set("align", VIPS_ALIGN_CENTRE));
    // A margin of background all round.
    const int margin = 16;
    const vips::VImage coverage =
        mask.cast(VIPS_FORMAT_UCHAR)
            .embed(margin, margin, mask.width() + 2 * margin, mask.height() + 2 * margin);
    size_t length = 0;
    void* pixels = coverage.write_to_memory(&length);
    const std::unique_ptr<void, decltype(&g_free)> owned(pixels, g_free);
    const uint32_t back = gdi::RgbFromColorRef(static_cast<gdi::ColorRef>(background));
    const int brightness = int((back >> 16) & 0xFF) + int((back >> 8) & 0xFF) + int(back & 0xFF);
    const uint32_t ink = brightness > 3 * 128 ? 0x000000 : 0xFFFFFF;
    gdi::Bitmap picture = gdi::Bitmap::Color(coverage.width(), coverage.height(), back);
    const auto* alpha = static_cast<const uint8_t*>(pixels);
    for (int32_t y = 0; y < picture.Height(); ++y) {
      uint32_t* row = picture.Row(y);
      for (int32_t x = 0; x < picture.Width(); ++x, ++alpha) {
        uint32_t mixed = 0;
        for (int shift = 0; shift <= 16; shift += 8) {
          const uint32_t b = (back >> shift) & 0xFF, i = (ink >> shift) & 0xFF;
          mixed |= ((b * (255u - *alpha) + i * *alpha + 127) / 255) << shift;
        }
        row[x] = mixed;
      }
    }
    return picture;
  } catch (const vips::VError& error) {
    throw PhotoError("the message can't be drawn (" + VipsReason(error) + ")");
  }
}

}  // namespace slidesaver::photos
