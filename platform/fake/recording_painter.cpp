#include "platform/fake/recording_painter.h"

#include <cstdio>
#include <initializer_list>

namespace slidesaver::fake {
namespace {

std::string Joined(std::initializer_list<int64_t> values, uint32_t rop = gdi::SRCCOPY) {
  std::string s;
  for (int64_t v : values) {
    if (!s.empty()) s += ',';
    s += std::to_string(v);
  }
  if (rop != gdi::SRCCOPY) s += ',' + std::to_string(rop);
  return s;
}

}  // namespace

std::string RecordingPainter::RegionText(const gdi::Region* region) {
  if (!region) return "none";
  // FNV-1a over the rows and their spans.
  uint64_t digest = 14695981039346656037u;
  auto mix = [&](int64_t v) {
    for (int i = 0; i < 8; ++i) digest = (digest ^ ((v >> (8 * i)) & 0xFF)) * 1099511628211u;
  };
  const gdi::Rect b = region->Bounds();
  for (int32_t y = b.top; y < b.bottom; ++y) {
    mix(y);
    for (const gdi::Region::Span& span : region->Row(y)) {
      mix(span.left);
      mix(span.right);
    }
  }
  char hex[17];
  std::snprintf(hex, sizeof hex, "%016llx", static_cast<unsigned long long>(digest));
  return Joined({b.left, b.top, b.right, b.bottom}) + "#" + hex;
}

std::string RecordingPainter::NameOf(const gdi::Dc& dc) const {
  const auto it = names_.find(&dc);
  return it == names_.end() ? "?" : it->second;
}

bool RecordingPainter::BitBlt(gdi::Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h,
                              const gdi::Dc& src, int32_t sx, int32_t sy, uint32_t rop) {
  if (Watched(dst)) log_.Add("BitBlt " + NameOf(src) + " " + Joined({x, y, w, h, sx, sy}, rop));
  return gdi::Painter::BitBlt(dst, x, y, w, h, src, sx, sy, rop);
}

bool RecordingPainter::StretchBlt(gdi::Dc& dst, int32_t x, int32_t y, int32_t w, int32_t h,
                                  const gdi::Dc& src, int32_t sx, int32_t sy, int32_t sw,
                                  int32_t sh, uint32_t rop) {
  if (Watched(dst)) {
    log_.Add("StretchBlt " + NameOf(src) + " " + Joined({x, y, w, h, sx, sy, sw, sh}, rop));
  }
  return gdi::Painter::StretchBlt(dst, x, y, w, h, src, sx, sy, sw, sh, rop);
}

void RecordingPainter::FillBox(gdi::Dc& dst, int32_t x1, int32_t y1, int32_t x2, int32_t y2,
                               gdi::ColorRef color) {
  if (Watched(dst)) log_.Add("FillBox " + Joined({x1, y1, x2, y2, color}));
  gdi::Painter::FillBox(dst, x1, y1, x2, y2, color);
}

void RecordingPainter::SelectClipRgn(gdi::Dc& dst, const gdi::Region* region) {
  if (Watched(dst)) log_.Add("SelectClipRgn " + RegionText(region));
  gdi::Painter::SelectClipRgn(dst, region);
}

}  // namespace slidesaver::fake
