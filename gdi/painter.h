#pragma once
// The drawing calls of the show and its transitions, made through one object so that a test
// can put a recording decorator around them (platform/fake/recording_painter.h). This one
// only draws: each call is the raster operation of the same name (dc.h).
#include <cstdint>

#include "gdi/dc.h"
#include "gdi/region.h"

namespace slidesaver::gdi {

class Painter {
 public:
  virtual ~Painter() = default;
  virtual bool BitBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src,
                      int32_t sx, int32_t sy, uint32_t rop);
  virtual bool StretchBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src,
                          int32_t sx, int32_t sy, int32_t sw, int32_t sh, uint32_t rop);
  virtual void FillBox(Dc& dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, ColorRef color);
  // Null resets the clip.
  virtual void SelectClipRgn(Dc& dst, const Region* region);
};

}  // namespace slidesaver::gdi
