#include "gdi/painter.h"

namespace slidesaver::gdi {

bool Painter::BitBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src, int32_t sx,
                     int32_t sy, uint32_t rop) {
  return gdi::BitBlt(dst, x, y, w, h, src, sx, sy, rop);
}

bool Painter::StretchBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src,
                         int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t rop) {
  return gdi::StretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, rop);
}

void Painter::FillBox(Dc& dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, ColorRef color) {
  gdi::FillBox(dst, x1, y1, x2, y2, color);
}

void Painter::SelectClipRgn(Dc& dst, const Region* region) { dst.SelectClipRgn(region); }

}  // namespace slidesaver::gdi
