#pragma once
// Shrinking a colour image for a window smaller than the show area. Every target pixel is the
// mean of the source pixels it covers, a partly covered source pixel counting by the share it
// covers (an area average: a box filter as wide as a target pixel). A change to part of the
// source needs only the target pixels over that part to be made again.
#include <cstdint>
#include <vector>

#include "gdi/bitmap.h"
#include "gdi/pixel_rows.h"

namespace slidesaver::gdi {

class AreaDownscale {
 public:
  // The largest source side: every sum of a target pixel then fits 32 bits.
  static constexpr int32_t kMaxSourceSide = 65535;

  // From source_width × source_height to target_width × target_height. Each target side is at
  // least 1 and at most the source's, and each source side at most kMaxSourceSide; other sizes
  // are an invalid-argument RunTimeError.
  AreaDownscale(int32_t source_width, int32_t source_height, int32_t target_width,
                int32_t target_height);

  int32_t SourceWidth() const { return columns_.source; }
  int32_t SourceHeight() const { return rows_.source; }
  int32_t TargetWidth() const { return columns_.target; }
  int32_t TargetHeight() const { return rows_.target; }

  // The target pixels that depend on the source rectangle (clipped to both images).
  Rect TargetOf(const Rect& source_part) const;

  // Makes the target pixels of target_part (clipped to the target) from source, a colour bitmap
  // of the source size, into target, a colour bitmap of the target size.
  void Scale(const Bitmap& source, const Rect& target_part, Bitmap& target) const;
  // The same into rows of the target size kept elsewhere.
  void Scale(const Bitmap& source, const Rect& target_part, const PixelRows& target) const;

 private:
  // One axis. Measured in units where a source pixel is `target` long and a target pixel
  // `source` long, target pixel t covers [t·source, (t+1)·source): its source pixels are
  // first … last, the first and the last weighted by what they cover, those between by
  // `target`, so that the weights of a target pixel add up to `source`.
  struct Axis {
    struct Cover {
      int32_t first = 0;
      int32_t last = 0;
      uint32_t first_weight = 0;
      uint32_t last_weight = 0;  // 0 when last == first
    };
    Axis(int32_t source_size, int32_t target_size);
    int32_t source;
    int32_t target;
    std::vector<Cover> covers;  // one per target pixel
  };

  Axis columns_;
  Axis rows_;
};

}  // namespace slidesaver::gdi
