#include "show/transparent/draw_transparent.h"

#include <new>
#include <optional>

#include "common/arith.h"
#include "common/run_time_error.h"

namespace slidesaver::TransparentBltFunc {

namespace {

// The platform's bitmap creation: a size it cannot hold gives no bitmap (the blits into or
// from a context without one draw nothing) rather than an error.
std::optional<gdi::Bitmap> CreateBitmap(int32_t width, int32_t height, bool mono) {
  if (width <= 0 || height <= 0) return std::nullopt;
  try {
    return mono ? gdi::Bitmap::Mono(width, height) : gdi::Bitmap::Color(width, height);
  } catch (const RunTimeError&) {
    return std::nullopt;
  } catch (const std::bad_alloc&) {
    return std::nullopt;
  }
}

void Select(gdi::Dc& dc, std::optional<gdi::Bitmap>& bitmap) {
  if (bitmap) dc.SelectBitmap(&*bitmap);
}

}  // namespace

void DrawTransparent(gdi::Dc& destination, int32_t x, int32_t y, int32_t width, int32_t height,
                     gdi::Dc& source, int32_t source_x, int32_t source_y, gdi::ColorRef color_key) {
  using gdi::BitBlt;
  // The temporary contexts and bitmaps live until the end of the call; the contexts go first.
  std::optional<gdi::Bitmap> mask_bitmap, mask_color_bitmap, sprite_bitmap;

  // 1, 2: the monochrome mask. Its size is checked as in step 6 before it is made, so that
  // an oversized call fails in step 6 without first trying to allocate the mask.
  gdi::Dc mask_dc("MaskDC");
  const bool size_fits =
      width > 0 && height > 0 && static_cast<int64_t>(width) * height <= INT32_MAX / 3;
  if (size_fits) mask_bitmap = CreateBitmap(width, height, true);
  Select(mask_dc, mask_bitmap);

  // 3-5: key pixels become 1 in the mask, all others 0.
  const gdi::ColorRef previous = source.SetBkColor(color_key);
  BitBlt(mask_dc, 0, 0, width, height, source, source_x, source_y, gdi::SRCCOPY);
  source.SetBkColor(previous);

  // 6: the header of the mask's colour bitmap: height negated (rows top down), the image
  // size in bytes at 24 bits per pixel.
  const int32_t header_height = Neg32(height);
  const int32_t image_size = Mul32(Mul32(width, height), 3);
  static_cast<void>(header_height);
  static_cast<void>(image_size);

  // 7, 8: the mask in colour, uninitialised.
  mask_color_bitmap = CreateBitmap(width, height, false);
  gdi::Dc mask_color_dc("MaskColorDC");
  Select(mask_color_dc, mask_color_bitmap);

  // 9: with the new context's default colours, key pixels white, all others black.
  BitBlt(mask_color_dc, 0, 0, width, height, mask_dc, 0, 0, gdi::SRCCOPY);

  // 10-12: the sprite, the source with its key pixels black.
  gdi::Dc sprite_dc("SpriteDC");
  sprite_bitmap = CreateBitmap(width, height, false);
  Select(sprite_dc, sprite_bitmap);
  BitBlt(sprite_dc, 0, 0, width, height, source, source_x, source_y, gdi::SRCCOPY);
  BitBlt(sprite_dc, 0, 0, width, height, mask_dc, 0, 0, gdi::DSna);

  // 13: black where the sprite goes; 14: the sprite combined in.
  BitBlt(destination, x, y, width, height, mask_color_dc, 0, 0, gdi::SRCAND);
  BitBlt(destination, x, y, width, height, sprite_dc, 0, 0, gdi::SRCINVERT);
  // 15: the contexts and bitmaps are released on return.
}

}  // namespace slidesaver::TransparentBltFunc
