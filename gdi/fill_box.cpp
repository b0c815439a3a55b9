#include <algorithm>
#include <cstring>

#include "gdi/dc.h"
#include "gdi/raster.h"

namespace slidesaver::gdi {

void FillBox(Dc& dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2, ColorRef color) {
  Bitmap* const b = dst.SelectedBitmap();
  if (!b) return;
  const int64_t left = std::min(x1, x2), right = int64_t{std::max(x1, x2)} + 1;
  const int64_t top = std::min(y1, y2), bottom = int64_t{std::max(y1, y2)} + 1;
  const detail::Interval cols = detail::Interval{left, right}.Meet({0, b->Width()});
  const detail::Interval rows = detail::Interval{top, bottom}.Meet({0, b->Height()});
  if (cols.Empty() || rows.Empty()) return;
  const Rect box{static_cast<int32_t>(cols.begin), static_cast<int32_t>(rows.begin),
                 static_cast<int32_t>(cols.end), static_cast<int32_t>(rows.end)};
  const uint32_t rgb = RgbFromColorRef(color);
  const bool mono = b->GetFormat() == Bitmap::Format::Mono1;
  const uint8_t mono_value = MonoFromRgb(rgb);
  // A presented surface compares: a box filled over its own colour changes nothing.
  Damage* const damage = dst.TrackedDamage();
  const bool compare = damage && !mono;
  const Rect written =
      detail::ForEachRun(dst.ClipRegion(), box, false, compare ? nullptr : damage,
                         [&](int32_t y, int32_t a, int32_t e) {
                           if (mono) {
                             std::memset(b->MonoRow(y) + a, mono_value, static_cast<size_t>(e - a));
                           } else if (compare) {
                             detail::FillChanged(*b, y, a, e - a, rgb, *damage);
                           } else {
                             std::fill(b->Row(y) + a, b->Row(y) + e, rgb);
                           }
                         });
  dst.MarkWritten(written);
}

}  // namespace slidesaver::gdi
