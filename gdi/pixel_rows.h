#pragma once
// Rows of colour pixels 0x00RRGGBB kept elsewhere than in a Bitmap: a window surface, a
// shared-memory buffer, a device-independent bitmap, or a part of one.
#include <cstddef>
#include <cstdint>

#include "gdi/bitmap.h"

namespace slidesaver::gdi {

struct PixelRows {
  uint32_t* first = nullptr;  // the top-left pixel
  ptrdiff_t stride = 0;       // pixels from one row to the next
  int32_t width = 0;
  int32_t height = 0;

  static PixelRows Of(Bitmap& image) {
    return {image.Row(0), image.Width(), image.Width(), image.Height()};
  }
  uint32_t* Row(int32_t y) const { return first + y * stride; }
  // The rows of `part`, which lies inside these.
  PixelRows Part(const Rect& part) const {
    return {Row(part.top) + part.left, stride, part.Width(), part.Height()};
  }
};

}  // namespace slidesaver::gdi
