#pragma once
// Shared by the drawing-layer tests: small pictures, a context owning its bitmap, and a
// deliberately simple per-pixel model of the raster operations to check the fast paths with.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "gdi/dc.h"

namespace slidesaver::gdi::test {

// A bitmap and a context that has it selected.
struct Canvas {
  explicit Canvas(Bitmap b) : bitmap(std::make_unique<Bitmap>(std::move(b))) {
    dc.SelectBitmap(bitmap.get());
  }
  std::unique_ptr<Bitmap> bitmap;
  Dc dc;
};

// Pixel (x, y) of a numbered colour picture: distinct for every pixel of pictures up to 4096
// wide, tagged so that pictures with different tags never share a colour.
uint32_t Numbered(int32_t x, int32_t y, uint32_t tag = 0);
Bitmap NumberedPicture(int32_t width, int32_t height, uint32_t tag = 0);
// A monochrome picture from rows of '#' (1) and '.' (0).
Bitmap MonoPicture(const std::vector<std::string>& rows);
// The rows of a monochrome bitmap as '#' and '.'.
std::vector<std::string> MonoRows(const Bitmap& b);

// The source index the platform's stretch gives destination index i of n from m source
// pixels: the source pixel that holds the sampling point (expanding: just before the middle
// of destination pixel i; shrinking: half a destination pixel before its end), in 128 bits.
int64_t ModelStretchIndex(int64_t i, int64_t n, int64_t m);

// The raster operations, pixel by pixel, straight from their definitions.
struct ModelContext {
  Bitmap* bitmap;
  uint32_t bk_rgb = 0xFFFFFF, text_rgb = 0;
  const Region* clip = nullptr;
};
void ModelStretch(ModelContext dst, int32_t x, int32_t y, int32_t w, int32_t h,
                  const ModelContext& src, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                  uint32_t rop);
void ModelBitBlt(ModelContext dst, int32_t x, int32_t y, int32_t w, int32_t h,
                 const ModelContext& src, int32_t sx, int32_t sy, uint32_t rop);

// Spans of every row of a region within [0, width) × [0, height), as flat [x0, x1, x2, x3 …].
std::vector<std::vector<int32_t>> RowsOf(const Region& region, int32_t width, int32_t height);

}  // namespace slidesaver::gdi::test
