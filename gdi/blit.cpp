// BitBlt and StretchBlt.
#include <cstring>
#include <vector>

#include "gdi/dc.h"
#include "gdi/raster.h"

namespace slidesaver::gdi {

using detail::Interval;
using detail::RasterOp;

namespace {

detail::RowPainter PainterFor(RasterOp op, Dc& dst, Bitmap& dst_bitmap, const Dc& src,
                              const Bitmap& src_bitmap, const Rect& box) {
  const int64_t bytes = int64_t{box.Width()} * box.Height() * 4;
  return detail::RowPainter(op, dst_bitmap, src_bitmap, RgbFromColorRef(src.GetBkColor()),
                            RgbFromColorRef(dst.GetBkColor()), RgbFromColorRef(dst.GetTextColor()),
                            bytes >= detail::kStreamBytes);
}

// A copy of the part [cols) × [rows) of a bitmap, for blits whose source is their destination.
Bitmap CopyOf(const Bitmap& b, const Interval& cols, const Interval& rows) {
  const auto w = static_cast<int32_t>(cols.end - cols.begin);
  const auto h = static_cast<int32_t>(rows.end - rows.begin);
  const bool mono = b.GetFormat() == Bitmap::Format::Mono1;
  Bitmap copy = mono ? Bitmap::Mono(w, h) : Bitmap::Color(w, h);
  for (int32_t y = 0; y < h; ++y) {
    const auto sy = static_cast<int32_t>(rows.begin + y);
    const auto sx = static_cast<int32_t>(cols.begin);
    if (mono) {
      std::memcpy(copy.MonoRow(y), b.MonoRow(sy) + sx, static_cast<size_t>(w));
    } else {
      std::memcpy(copy.Row(y), b.Row(sy) + sx, static_cast<size_t>(w) * 4);
    }
  }
  return copy;
}

Rect BoxOf(const Interval& cols, const Interval& rows) {
  return {static_cast<int32_t>(cols.begin), static_cast<int32_t>(rows.begin),
          static_cast<int32_t>(cols.end), static_cast<int32_t>(rows.end)};
}

}  // namespace

bool BitBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src, int32_t sx,
            int32_t sy, uint32_t rop) {
  const std::optional<RasterOp> op = detail::RasterOpFrom(rop);
  Bitmap* const db = dst.SelectedBitmap();
  const Bitmap* const sb = src.SelectedBitmap();
  if (!op || !db || !sb || w == 0 || h == 0) return false;

  int64_t X = x, Y = y, SX = sx, SY = sy, W = w, H = h;
  if (W < 0) {
    X += W + 1;
    SX += W + 1;
    W = -W;
  }
  if (H < 0) {
    Y += H + 1;
    SY += H + 1;
    H = -H;
  }
  // Source pixel = destination pixel + (ox, oy).
  int64_t ox = SX - X, oy = SY - Y;
  const Interval cols = Interval{X, X + W}.Meet({0, db->Width()}).Meet({-ox, -ox + sb->Width()});
  const Interval rows = Interval{Y, Y + H}.Meet({0, db->Height()}).Meet({-oy, -oy + sb->Height()});
  if (cols.Empty() || rows.Empty()) return true;

  const Bitmap* source = sb;
  Bitmap copy;
  bool bottom_up = false;
  if (db == sb) {
    if (*op == RasterOp::kCopy) {
      bottom_up = oy < 0;  // rows move down: write the lowest first; memmove handles columns
    } else {
      copy = CopyOf(*sb, {cols.begin + ox, cols.end + ox}, {rows.begin + oy, rows.end + oy});
      source = &copy;
      ox = -cols.begin;
      oy = -rows.begin;
    }
  }
  const auto dx = static_cast<int32_t>(ox), dy = static_cast<int32_t>(oy);
  const bool colour_copy = *op == RasterOp::kCopy && source != db &&
                           source->GetFormat() == db->GetFormat() &&
                           db->GetFormat() == Bitmap::Format::Color32;
  Damage* const damage = dst.TrackedDamage();
  if (colour_copy && damage && dx == 0 && dy == 0) {
    // A picture copied in place onto a presented surface often puts back pixels it already
    // shows: only those that differ are written and count as damage.
    const Rect written =
        detail::ForEachRun(dst.ClipRegion(), BoxOf(cols, rows), false, nullptr,
                           [&](int32_t row, int32_t a, int32_t b) {
                             detail::CopyChanged(*db, row, a, b - a, *source, row, a, *damage);
                           });
    dst.MarkWritten(written);
    return true;
  }
  if (colour_copy && !dst.ClipRegion() && dx == 0 && cols.begin == 0 && cols.end == db->Width() &&
      db->Width() == source->Width()) {
    // Whole rows of bitmaps of one width: one block, as fast as the copy can go.
    const auto y0 = static_cast<int32_t>(rows.begin);
    std::memcpy(db->Row(y0), source->Row(y0 + dy),
                static_cast<size_t>(rows.end - rows.begin) * static_cast<size_t>(db->Width()) * 4);
    dst.MarkDirty(BoxOf(cols, rows));
    return true;
  }
  const detail::RowPainter painter = PainterFor(*op, dst, *db, src, *source, BoxOf(cols, rows));
  const Rect written = detail::ForEachRun(dst.ClipRegion(), BoxOf(cols, rows), bottom_up, damage,
                                          [&](int32_t row, int32_t a, int32_t b) {
                                            painter.Straight(row, a, b - a, row + dy, a + dx);
                                          });
  if (painter.stream) detail::FinishStores();
  dst.MarkWritten(written);
  return true;
}

namespace {

// One axis of a stretch: destination pixel d0 + i·sign(d_len) takes source pixel
// s0 + j(i)·sign(s_len).
struct StretchAxis {
  int64_t d0, s0;
  int dir_d, dir_s;
  uint64_t n, m;  // |d_len|, |s_len|

  StretchAxis(int32_t d_start, int32_t d_len, int32_t s_start, int32_t s_len)
      : d0(d_start),
        s0(s_start),
        dir_d(d_len > 0 ? 1 : -1),
        dir_s(s_len > 0 ? 1 : -1),
        n(static_cast<uint64_t>(d_len > 0 ? int64_t{d_len} : -int64_t{d_len})),
        m(static_cast<uint64_t>(s_len > 0 ? int64_t{s_len} : -int64_t{s_len})) {}

  // The destination pixels covered, in ascending order.
  Interval Covered() const {
    const auto len = static_cast<int64_t>(n);
    return dir_d > 0 ? Interval{d0, d0 + len} : Interval{d0 - len + 1, d0 + 1};
  }
  bool Shrinks() const { return m > n; }
  // j(i) for 0 <= i < n; operands stay below 2^64.
  int64_t SourceIndex(uint64_t i) const {
    if (n >= m) return static_cast<int64_t>((2 * i * m + m - 1) / (2 * n));
    return static_cast<int64_t>(((2 * i + 2) * m - n) / (2 * n));
  }
  int64_t IndexOf(int64_t d) const { return dir_d > 0 ? d - d0 : d0 - d; }
  int64_t SourceOf(int64_t d) const {
    return s0 + dir_s * SourceIndex(static_cast<uint64_t>(IndexOf(d)));
  }
};

// The destination pixels of visible whose source lies inside [0, source_size), and their
// source pixels. The mapping is monotonic, so they form one interval.
struct AxisMap {
  Interval dest;
  std::vector<int32_t> source;
};
AxisMap MapAxis(const StretchAxis& axis, const Interval& visible, int64_t source_size) {
  AxisMap map;
  if (visible.Empty()) return map;
  std::vector<int64_t> all(static_cast<size_t>(visible.end - visible.begin));
  for (size_t k = 0; k < all.size(); ++k) all[k] = axis.SourceOf(visible.begin + int64_t(k));
  size_t first = 0, last = all.size();
  while (first < last && (all[first] < 0 || all[first] >= source_size)) ++first;
  while (last > first && (all[last - 1] < 0 || all[last - 1] >= source_size)) --last;
  map.dest = {visible.begin + int64_t(first), visible.begin + int64_t(last)};
  map.source.reserve(last - first);
  for (size_t k = first; k < last; ++k) map.source.push_back(static_cast<int32_t>(all[k]));
  return map;
}

// The source pixels a shrinking BLACKONWHITE / WHITEONBLACK stretch combines into the
// destination pixel d: those of j(i − 1) + 1 … j(i), inside the source.
Interval Group(const StretchAxis& axis, int64_t d, int64_t source_size) {
  const int64_t i = axis.IndexOf(d);
  const int64_t j = axis.SourceIndex(static_cast<uint64_t>(i));
  int64_t first = j;
  if (axis.Shrinks()) first = i > 0 ? axis.SourceIndex(static_cast<uint64_t>(i - 1)) + 1 : 0;
  int64_t a = axis.s0 + axis.dir_s * first, b = axis.s0 + axis.dir_s * j;
  if (a > b) std::swap(a, b);
  return Interval{a, b + 1}.Meet({0, source_size});
}

// Shrinks in BLACKONWHITE or WHITEONBLACK: each destination pixel combines its groups.
void CombiningStretch(Dc& dst, Bitmap& db, const Dc& src, const Bitmap& sb, RasterOp op,
                      const StretchAxis& ax, const StretchAxis& ay, const AxisMap& cols,
                      const AxisMap& rows, bool use_and) {
  const bool src_mono = sb.GetFormat() == Bitmap::Format::Mono1;
  const bool dst_mono = db.GetFormat() == Bitmap::Format::Mono1;
  const uint32_t key = RgbFromColorRef(src.GetBkColor());
  const uint32_t one = RgbFromColorRef(dst.GetBkColor()),
                 zero = RgbFromColorRef(dst.GetTextColor());
  auto read = [&](int64_t x, int64_t y) -> uint32_t {  // in the destination's format
    const auto sx = static_cast<int32_t>(x), sy = static_cast<int32_t>(y);
    if (src_mono) {
      const uint8_t v = sb.MonoRow(sy)[sx];
      return dst_mono ? v : (v ? one : zero);
    }
    const uint32_t v = sb.Row(sy)[sx] & 0xFFFFFF;
    return dst_mono ? (v == key ? 1u : 0u) : v;
  };
  const Rect box = BoxOf(cols.dest, rows.dest);
  const Rect written = detail::ForEachRun(
      dst.ClipRegion(), box, false, dst.TrackedDamage(), [&](int32_t y, int32_t a, int32_t b) {
        const Interval gy = Group(ay, y, sb.Height());
        for (int32_t x = a; x < b; ++x) {
          const Interval gx = Group(ax, x, sb.Width());
          uint32_t v = use_and ? 0xFFFFFFFFu : 0u;
          for (int64_t yy = gy.begin; yy < gy.end; ++yy) {
            for (int64_t xx = gx.begin; xx < gx.end; ++xx) {
              v = use_and ? (v & read(xx, yy)) : (v | read(xx, yy));
            }
          }
          if (dst_mono) {
            uint8_t& d = db.MonoRow(y)[x];
            const auto s = static_cast<uint8_t>(v & 1);
            d = op == RasterOp::kCopy     ? s
                : op == RasterOp::kAnd    ? static_cast<uint8_t>(d & s)
                : op == RasterOp::kInvert ? static_cast<uint8_t>(d ^ s)
                                          : static_cast<uint8_t>(d & (s ^ 1));
          } else {
            uint32_t& d = db.Row(y)[x];
            const uint32_t s = v & 0xFFFFFF;
            d = op == RasterOp::kCopy     ? s
                : op == RasterOp::kAnd    ? (d & s)
                : op == RasterOp::kInvert ? (d ^ s)
                                          : (d & ~s & 0xFFFFFF);
          }
        }
      });
  dst.MarkWritten(written);
}

}  // namespace

bool StretchBlt(Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h, const Dc& src, int32_t sx,
                int32_t sy, int32_t sw, int32_t sh, uint32_t rop) {
  const std::optional<RasterOp> op = detail::RasterOpFrom(rop);
  Bitmap* const db = dst.SelectedBitmap();
  const Bitmap* const sb = src.SelectedBitmap();
  if (!op || !db || !sb || w == 0 || h == 0 || sw == 0 || sh == 0) return false;
  // A one-pixel destination takes its pixel one short of the source's far end.
  if (w == 1 && sw > 1) --sw;
  if (h == 1 && sh > 1) --sh;

  const StretchAxis ax(x, w, sx, sw), ay(y, h, sy, sh);
  Interval visible_cols = ax.Covered().Meet({0, db->Width()});
  Interval visible_rows = ay.Covered().Meet({0, db->Height()});
  if (dst.ClipRegion()) {
    const Rect b = dst.ClipRegion()->Bounds();
    visible_cols = visible_cols.Meet({b.left, b.right});
    visible_rows = visible_rows.Meet({b.top, b.bottom});
  }
  AxisMap cols = MapAxis(ax, visible_cols, sb->Width());
  AxisMap rows = MapAxis(ay, visible_rows, sb->Height());
  if (cols.dest.Empty() || rows.dest.Empty()) return true;

  const int mode = dst.GetStretchBltMode();
  if ((mode == BLACKONWHITE || mode == WHITEONBLACK) && (ax.Shrinks() || ay.Shrinks())) {
    CombiningStretch(dst, *db, src, *sb, *op, ax, ay, cols, rows, mode == BLACKONWHITE);
    return true;
  }

  const Bitmap* source = sb;
  Bitmap copy;
  if (db == sb) {  // read from a copy of the source pixels the blit uses
    const auto [cmin, cmax] = std::minmax_element(cols.source.begin(), cols.source.end());
    const auto [rmin, rmax] = std::minmax_element(rows.source.begin(), rows.source.end());
    const int32_t c0 = *cmin, r0 = *rmin;
    copy = CopyOf(*sb, {c0, int64_t{*cmax} + 1}, {r0, int64_t{*rmax} + 1});
    for (int32_t& c : cols.source) c -= c0;
    for (int32_t& r : rows.source) r -= r0;
    source = &copy;
  }
  const Rect box = BoxOf(cols.dest, rows.dest);
  const detail::RowPainter painter = PainterFor(*op, dst, *db, src, *source, box);
  // Rows that repeat the previous row's source row are copied from the destination row
  // just written when nothing can differ between them.
  const bool rows_copyable = !dst.ClipRegion() && *op == RasterOp::kCopy &&
                             db->GetFormat() == source->GetFormat() &&
                             db->GetFormat() == Bitmap::Format::Color32;
  int32_t previous_source_row = -1;
  const Rect written = detail::ForEachRun(
      dst.ClipRegion(), box, false, dst.TrackedDamage(), [&](int32_t row, int32_t a, int32_t b) {
        const int32_t source_row = rows.source[static_cast<size_t>(row - box.top)];
        if (rows_copyable && source_row == previous_source_row) {
          std::memcpy(db->Row(row) + a, db->Row(row - 1) + a, static_cast<size_t>(b - a) * 4);
          return;
        }
        previous_source_row = source_row;
        painter.Mapped(row, a, b - a, source_row,
                       cols.source.data() + static_cast<size_t>(a - box.left));
      });
  if (painter.stream) detail::FinishStores();
  dst.MarkWritten(written);
  return true;
}

}  // namespace slidesaver::gdi
