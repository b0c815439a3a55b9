#include "tests/unit/gdi/gdi_test_support.h"

#include <algorithm>
#include <stdexcept>
#include <utility>

namespace slidesaver::gdi::test {

uint32_t Numbered(int32_t x, int32_t y, uint32_t tag) {
  return ((tag & 0xF) << 20) ^ ((static_cast<uint32_t>(y) & 0x3FF) << 10) ^
         (static_cast<uint32_t>(x) & 0x3FF) ^ ((static_cast<uint32_t>(x) >> 10) << 22);
}

Bitmap NumberedPicture(int32_t width, int32_t height, uint32_t tag) {
  Bitmap b = Bitmap::Color(width, height);
  for (int32_t y = 0; y < height; ++y) {
    for (int32_t x = 0; x < width; ++x) b.SetPixel(x, y, Numbered(x, y, tag));
  }
  return b;
}

Bitmap MonoPicture(const std::vector<std::string>& rows) {
  const auto h = static_cast<int32_t>(rows.size());
  const auto w = h ? static_cast<int32_t>(rows[0].size()) : 0;
  Bitmap b = Bitmap::Mono(w, h);
  for (int32_t y = 0; y < h; ++y) {
    if (static_cast<int32_t>(rows[y].size()) != w) throw std::invalid_argument("ragged rows");
    for (int32_t x = 0; x < w; ++x) b.MonoRow(y)[x] = rows[y][x] == '#' ? 1 : 0;
  }
  return b;
}

std::vector<std::string> MonoRows(const Bitmap& b) {
  std::vector<std::string> rows;
  for (int32_t y = 0; y < b.Height(); ++y) {
    std::string row;
    for (int32_t x = 0; x < b.Width(); ++x) row += b.MonoRow(y)[x] ? '#' : '.';
    rows.push_back(row);
  }
  return rows;
}

int64_t ModelStretchIndex(int64_t i, int64_t n, int64_t m) {
  // The sampling point, in units of 1 / (2n) source pixels from the start of the line:
  // expanding, just before the middle of destination pixel i; shrinking, half a destination
  // pixel before its end. The source pixel j spans [2n·j, 2n·(j + 1)).
  using Wide = __int128;
  const Wide point = n >= m ? Wide{2 * i + 1} * m - 1 : Wide{2 * i + 2} * m - n;
  return static_cast<int64_t>(point / (Wide{2} * n));
}

namespace {

bool Inside(const Bitmap& b, int64_t x, int64_t y) {
  return x >= 0 && y >= 0 && x < b.Width() && y < b.Height();
}

// The source pixel converted to the destination's format.
uint32_t SourceValue(const ModelContext& dst, const ModelContext& src, int64_t x, int64_t y) {
  const Bitmap& s = *src.bitmap;
  const bool src_mono = s.GetFormat() == Bitmap::Format::Mono1;
  const bool dst_mono = dst.bitmap->GetFormat() == Bitmap::Format::Mono1;
  const uint32_t v = s.Pixel(static_cast<int32_t>(x), static_cast<int32_t>(y));
  if (src_mono && !dst_mono) return v ? dst.bk_rgb : dst.text_rgb;
  if (!src_mono && dst_mono) return v == src.bk_rgb ? 1 : 0;
  if (src_mono) return v ? 1 : 0;
  return v;
}

void Write(ModelContext& dst, int64_t x, int64_t y, uint32_t s, uint32_t rop) {
  Bitmap& d = *dst.bitmap;
  const bool mono = d.GetFormat() == Bitmap::Format::Mono1;
  const auto px = static_cast<int32_t>(x), py = static_cast<int32_t>(y);
  uint32_t old = d.Pixel(px, py);
  if (mono) old = old ? 1 : 0;
  const uint32_t all = mono ? 1 : 0xFFFFFF;
  uint32_t v = 0;
  switch (rop) {
    case SRCCOPY:
      v = s;
      break;
    case SRCAND:
      v = old & s;
      break;
    case SRCINVERT:
      v = old ^ s;
      break;
    case DSna:
      v = old & (~s & all);
      break;
    default:
      return;
  }
  d.SetPixel(px, py, mono ? (v ? 0xFFFFFF : 0) : v);
}

}  // namespace

namespace {

// Index i of the destination pixel t on a line from start in direction dir, or -1.
int64_t IndexOn(int64_t t, int64_t start, int dir, int64_t count) {
  const int64_t i = dir > 0 ? t - start : start - t;
  return i >= 0 && i < count ? i : -1;
}

}  // namespace

void ModelStretch(ModelContext dst, int32_t x, int32_t y, int32_t w, int32_t h,
                  const ModelContext& src, int32_t sx, int32_t sy, int32_t sw, int32_t sh,
                  uint32_t rop) {
  if (w == 0 || h == 0 || sw == 0 || sh == 0) return;
  if (w == 1 && sw > 1) --sw;
  if (h == 1 && sh > 1) --sh;
  const int64_t n = w < 0 ? -int64_t{w} : w, m = sw < 0 ? -int64_t{sw} : sw;
  const int64_t nh = h < 0 ? -int64_t{h} : h, mh = sh < 0 ? -int64_t{sh} : sh;
  const int dx = w < 0 ? -1 : 1, dsx = sw < 0 ? -1 : 1, dy = h < 0 ? -1 : 1, dsy = sh < 0 ? -1 : 1;
  std::vector<std::pair<std::pair<int64_t, int64_t>, uint32_t>> writes;
  for (int32_t ty = 0; ty < dst.bitmap->Height(); ++ty) {
    const int64_t k = IndexOn(ty, y, dy, nh);
    if (k < 0) continue;
    const int64_t fy = sy + dsy * ModelStretchIndex(k, nh, mh);
    for (int32_t tx = 0; tx < dst.bitmap->Width(); ++tx) {
      const int64_t i = IndexOn(tx, x, dx, n);
      if (i < 0) continue;
      const int64_t fx = sx + dsx * ModelStretchIndex(i, n, m);
      if (!Inside(*src.bitmap, fx, fy)) continue;
      if (dst.clip && !dst.clip->Contains(tx, ty)) continue;
      writes.push_back({{tx, ty}, SourceValue(dst, src, fx, fy)});
    }
  }
  // All reads before the writes: the source may be the destination.
  for (const auto& [at, value] : writes) Write(dst, at.first, at.second, value, rop);
}

void ModelBitBlt(ModelContext dst, int32_t x, int32_t y, int32_t w, int32_t h,
                 const ModelContext& src, int32_t sx, int32_t sy, uint32_t rop) {
  // Unmirrored: a negative size reaches back from both corners alike.
  if (w == 0 || h == 0) return;
  const int64_t x0 = w < 0 ? int64_t{x} + w + 1 : x, sx0 = w < 0 ? int64_t{sx} + w + 1 : sx;
  const int64_t y0 = h < 0 ? int64_t{y} + h + 1 : y, sy0 = h < 0 ? int64_t{sy} + h + 1 : sy;
  const int64_t n = w < 0 ? -int64_t{w} : w, nh = h < 0 ? -int64_t{h} : h;
  std::vector<std::pair<std::pair<int64_t, int64_t>, uint32_t>> writes;
  for (int32_t ty = 0; ty < dst.bitmap->Height(); ++ty) {
    if (ty < y0 || ty >= y0 + nh) continue;
    for (int32_t tx = 0; tx < dst.bitmap->Width(); ++tx) {
      if (tx < x0 || tx >= x0 + n) continue;
      const int64_t fx = sx0 + (tx - x0), fy = sy0 + (ty - y0);
      if (!Inside(*src.bitmap, fx, fy)) continue;
      if (dst.clip && !dst.clip->Contains(tx, ty)) continue;
      writes.push_back({{tx, ty}, SourceValue(dst, src, fx, fy)});
    }
  }
  for (const auto& [at, value] : writes) Write(dst, at.first, at.second, value, rop);
}

std::vector<std::vector<int32_t>> RowsOf(const Region& region, int32_t width, int32_t height) {
  std::vector<std::vector<int32_t>> rows(static_cast<size_t>(height));
  for (int32_t y = 0; y < height; ++y) {
    for (const Region::Span& s : region.Row(y)) {
      const int32_t a = std::max(s.left, 0), b = std::min(s.right, width);
      if (a < b) {
        rows[y].push_back(a);
        rows[y].push_back(b);
      }
    }
  }
  return rows;
}

}  // namespace slidesaver::gdi::test
