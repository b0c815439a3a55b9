#include "gdi/draw_transparent.h"

#include <new>
#include <optional>

#include "common/arith.h"
#include "common/run_time_error.h"

namespace slidesaver::gdi {

namespace {

// The temporary bitmaps, kept from one call to the next while the size stays: a fresh
// picture-sized bitmap costs the system more (mapping and clearing pages) than the six blits.
struct Scratch {
  std::optional<Bitmap> mask, mask_color, sprite;
};

// The platform's bitmap creation: a size it cannot hold gives no bitmap (the blits into or
// from a context without one draw nothing) rather than an error. Cleared bitmaps are black.
Bitmap* CreateBitmap(std::optional<Bitmap>& slot, int32_t width, int32_t height, bool mono,
                     bool cleared) {
  if (width <= 0 || height <= 0) return nullptr;
  if (slot && slot->Width() == width && slot->Height() == height) {
    if (cleared) slot->Fill(0);
    return &*slot;
  }
  slot.reset();
  try {
    slot = mono ? Bitmap::Mono(width, height) : Bitmap::Color(width, height);
  } catch (const RunTimeError&) {
    return nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
  return &*slot;
}

}  // namespace

void DrawTransparent(Painter& painter, Dc& destination, int32_t x, int32_t y, int32_t width,
                     int32_t height, Dc& source, int32_t source_x, int32_t source_y,
                     ColorRef color_key) {
  thread_local Scratch scratch;
  // A source rectangle inside the source bitmap overwrites the whole mask and sprite, so
  // those need no clearing first.
  const Bitmap* const source_bitmap = source.SelectedBitmap();
  const bool covered = source_bitmap && source_x >= 0 && source_y >= 0 &&
                       int64_t{source_x} + width <= source_bitmap->Width() &&
                       int64_t{source_y} + height <= source_bitmap->Height();

  // 1, 2: the monochrome mask. Its size is checked as in step 6 before it is made, so that
  // an oversized call fails in step 6 without first trying to allocate the mask.
  Dc mask_dc;
  const bool size_fits =
      width > 0 && height > 0 && static_cast<int64_t>(width) * height <= INT32_MAX / 3;
  if (size_fits) mask_dc.SelectBitmap(CreateBitmap(scratch.mask, width, height, true, !covered));

  // 3-5: key pixels become 1 in the mask, all others 0.
  const ColorRef previous = source.SetBkColor(color_key);
  painter.BitBlt(mask_dc, 0, 0, width, height, source, source_x, source_y, SRCCOPY);
  source.SetBkColor(previous);

  // 6: the header of the mask's colour bitmap: height negated (rows top down), the image
  // size in bytes at 24 bits per pixel.
  const int32_t header_height = Neg32(height);
  const int32_t image_size = Mul32(Mul32(width, height), 3);
  static_cast<void>(header_height);
  static_cast<void>(image_size);

  // 7, 8: the mask in colour, uninitialised.
  Dc mask_color_dc;
  mask_color_dc.SelectBitmap(CreateBitmap(scratch.mask_color, width, height, false, false));

  // 9: with the new context's default colours, key pixels white, all others black.
  painter.BitBlt(mask_color_dc, 0, 0, width, height, mask_dc, 0, 0, SRCCOPY);

  // 10-12: the sprite, the source with its key pixels black.
  Dc sprite_dc;
  sprite_dc.SelectBitmap(CreateBitmap(scratch.sprite, width, height, false, !covered));
  painter.BitBlt(sprite_dc, 0, 0, width, height, source, source_x, source_y, SRCCOPY);
  painter.BitBlt(sprite_dc, 0, 0, width, height, mask_dc, 0, 0, DSna);

  // 13: black where the sprite goes; 14: the sprite combined in.
  painter.BitBlt(destination, x, y, width, height, mask_color_dc, 0, 0, SRCAND);
  painter.BitBlt(destination, x, y, width, height, sprite_dc, 0, 0, SRCINVERT);
  // 15: the contexts are released on return; the bitmaps wait for the next call.
}

}  // namespace slidesaver::gdi
