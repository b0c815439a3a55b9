#pragma once
// Internals of the raster operations: row kernels and the walk over clipped runs.
#include <algorithm>
#include <cstdint>
#include <optional>

#include "gdi/bitmap.h"
#include "gdi/damage.h"
#include "gdi/region.h"

namespace slidesaver::gdi::detail {

enum class RasterOp { kCopy, kAnd, kInvert, kAndNot };
std::optional<RasterOp> RasterOpFrom(uint32_t rop);

// Writes runs of one destination row from one source row, converting formats and combining
// with the raster operation. The caller guarantees that every index is inside both bitmaps.
class RowPainter {
 public:
  // key_rgb: the source context's background colour (colour to monochrome);
  // one_rgb, zero_rgb: the destination context's background and text colours (monochrome
  // to colour).
  // stream: stretched colour copies store past the cache (large blits between different
  // bitmaps); the caller ends the blit with FinishStores(). Straight copies stay with
  // memmove, which is faster while frames fit the last-level cache and are read again soon.
  RowPainter(RasterOp op, Bitmap& dst, const Bitmap& src, uint32_t key_rgb, uint32_t one_rgb,
             uint32_t zero_rgb, bool stream = false);
  // Destination (y, x … x + n − 1) from source (sy, sx … sx + n − 1).
  void Straight(int32_t y, int32_t x, int32_t n, int32_t sy, int32_t sx) const {
    straight_(*this, y, x, n, sy, sx);
  }
  // Destination (y, x + i) from source (sy, columns[i]) for i < n.
  void Mapped(int32_t y, int32_t x, int32_t n, int32_t sy, const int32_t* columns) const {
    mapped_(*this, y, x, n, sy, columns);
  }

  Bitmap& dst;
  const Bitmap& src;
  uint32_t key_rgb, one_rgb, zero_rgb;
  bool stream;

 private:
  using StraightFn = void (*)(const RowPainter&, int32_t, int32_t, int32_t, int32_t, int32_t);
  using MappedFn = void (*)(const RowPainter&, int32_t, int32_t, int32_t, int32_t, const int32_t*);
  StraightFn straight_;
  MappedFn mapped_;
};

// Stretches writing at least this many bytes are larger than the inner caches: their
// gathered pixels are streamed to memory instead of first reading each destination line.
constexpr int64_t kStreamBytes = int64_t{2} << 20;
// Orders the streamed stores before whatever comes next.
void FinishStores();

// Half-open interval intersection in 64 bits.
struct Interval {
  int64_t begin = 0, end = 0;
  bool Empty() const { return end <= begin; }
  Interval Meet(const Interval& o) const {
    return {std::max(begin, o.begin), std::min(end, o.end)};
  }
};

// Writes n colour pixels of row y from column x on, from those of row sy from column sx on of
// another colour bitmap, or from one value, and adds the pixels that changed to the damage
// (stretches of changed pixels fewer than Damage::kJoinGap apart as one). Unchanged stretches of
// the destination are read but not written.
void CopyChanged(Bitmap& dst, int32_t y, int32_t x, int32_t n, const Bitmap& src, int32_t sy,
                 int32_t sx, Damage& damage);
void FillChanged(Bitmap& dst, int32_t y, int32_t x, int32_t n, uint32_t value, Damage& damage);

// Calls run(y, x_begin, x_end) for every run of the box that lies inside the clip region
// (all of each row when there is none), rows top to bottom or bottom to top, and adds each
// run to the damage, if any. Returns the bounds of the runs.
template <class Run>
Rect ForEachRun(const std::optional<Region>& clip, const Rect& box, bool bottom_up, Damage* damage,
                Run&& run) {
  Rect written{};
  if (box.Empty()) return written;
  int32_t top = box.top, bottom = box.bottom;
  if (clip) {
    const Rect b = Intersect(box, clip->Bounds());
    if (b.Empty()) return written;
    top = b.top;
    bottom = b.bottom;
  }
  int32_t min_x = INT32_MAX, max_x = INT32_MIN, min_y = INT32_MAX, max_y = INT32_MIN;
  for (int32_t k = 0; k < bottom - top; ++k) {
    const int32_t y = bottom_up ? bottom - 1 - k : top + k;
    auto emit = [&](int32_t a, int32_t b) {
      run(y, a, b);
      if (damage) damage->Add(y, a, b);
      min_x = std::min(min_x, a);
      max_x = std::max(max_x, b);
      min_y = std::min(min_y, y);
      max_y = std::max(max_y, y);
    };
    if (!clip) {
      emit(box.left, box.right);
      continue;
    }
    for (const Region::Span& s : clip->Row(y)) {
      const int32_t a = std::max(s.left, box.left), b = std::min(s.right, box.right);
      if (a < b) emit(a, b);
    }
  }
  if (min_x < max_x) written = {min_x, min_y, max_x, max_y + 1};
  return written;
}

}  // namespace slidesaver::gdi::detail
