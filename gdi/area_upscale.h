#pragma once
// Enlarging a colour image for a screen or window larger than the show area. Smooth: bilinear,
// each target pixel centre mapped into the source and the four source pixels around it weighted
// by distance (edges repeated). Sharp: every source pixel becomes a block of whole-factor size,
// exactly. A change to part of the source needs only the target pixels over it (and, smooth, one
// source pixel around it) to be made again.
#include <cstdint>
#include <vector>

#include "gdi/bitmap.h"
#include "gdi/pixel_rows.h"

namespace slidesaver::gdi {

class AreaUpscale {
 public:
  enum class Filter { Bilinear, Repeat };
  // The largest side of either image: positions then fit 32-bit arithmetic with room to spare.
  static constexpr int32_t kMaxSide = 65535;

  // From source_width × source_height to target_width × target_height, each target side at
  // least the source's, every side 1 … kMaxSide; Repeat also needs each target side to be a
  // whole multiple of the source's. Other sizes are an invalid-argument RunTimeError.
  AreaUpscale(int32_t source_width, int32_t source_height, int32_t target_width,
              int32_t target_height, Filter filter);

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
  // One axis: target pixel t takes (256 - weight[t]) of source pixel near[t] and weight[t] of
  // far[t] (near + 1, or near itself at the last pixel); weights are 0 … 255.
  struct Axis {
    Axis(int32_t source_size, int32_t target_size, Filter filter);
    // The target pixels whose near or far pixel lies in source [from, to).
    void TargetsOf(int32_t from, int32_t to, int32_t& first, int32_t& end) const;
    int32_t source;
    int32_t target;
    std::vector<int32_t> near;
    std::vector<int32_t> far;
    std::vector<uint16_t> weight;
  };

  void ScaleRepeat(const Bitmap& source, const Rect& part, const PixelRows& target) const;
  void ScaleBilinear(const Bitmap& source, const Rect& part, const PixelRows& target) const;

  Filter filter_;
  Axis columns_;
  Axis rows_;
  // Bilinear: the target columns before the first whose near pixel is the last source column
  // (those have a far neighbour to the right), and their weights as eight 16-bit lanes each:
  // the near pixel's four channels, then the far one's.
  int32_t paired_columns_ = 0;
  std::vector<uint16_t> pair_weights_;
};

}  // namespace slidesaver::gdi
