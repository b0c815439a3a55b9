#include "gdi/region.h"

#include <algorithm>
#include <cstdlib>
#include <utility>

namespace slidesaver::gdi {

namespace {

// Collects the spans of consecutive rows.
class RowBuilder {
 public:
  explicit RowBuilder(size_t rows) { row_begin_.reserve(rows + 1); }
  void AddRow(std::span<const Region::Span> spans) {
    row_begin_.push_back(static_cast<uint32_t>(spans_.size()));
    for (const Region::Span& s : spans) {
      if (s.left >= s.right) continue;
      if (!spans_.empty() && row_begin_.back() < spans_.size() && spans_.back().right >= s.left) {
        spans_.back().right = std::max(spans_.back().right, s.right);  // touching: merge
      } else {
        spans_.push_back(s);
      }
    }
  }
  void AddRow(int32_t left, int32_t right) {
    const Region::Span s{left, right};
    AddRow(std::span<const Region::Span>(&s, 1));
  }
  Region Finish(int32_t top) {
    row_begin_.push_back(static_cast<uint32_t>(spans_.size()));
    return Region::FromRows(top, std::move(row_begin_), std::move(spans_));
  }

 private:
  std::vector<uint32_t> row_begin_;
  std::vector<Region::Span> spans_;
};

Region RectRegion(int32_t left, int32_t top, int32_t right, int32_t bottom);

}  // namespace

void Region::SetRows(int32_t top, std::vector<uint32_t> row_begin, std::vector<Span> spans) {
  // Drop empty rows at both ends so that Top() and Bounds() describe the pixels.
  size_t first = 0, last = row_begin.size() - 1;  // rows [first, last)
  while (first < last && row_begin[first] == row_begin[first + 1]) ++first;
  while (last > first && row_begin[last - 1] == row_begin[last]) --last;
  if (first == last) {
    top_ = 0;
    row_begin_.clear();
    spans_.clear();
    bounds_ = {};
    return;
  }
  top_ = static_cast<int32_t>(top + static_cast<int64_t>(first));
  row_begin_.assign(row_begin.begin() + static_cast<ptrdiff_t>(first),
                    row_begin.begin() + static_cast<ptrdiff_t>(last) + 1);
  spans_ = std::move(spans);
  int32_t l = INT32_MAX, r = INT32_MIN;
  for (const Span& s : spans_) {
    l = std::min(l, s.left);
    r = std::max(r, s.right);
  }
  bounds_ = {l, top_, r, static_cast<int32_t>(top_ + static_cast<int64_t>(last - first))};
}

bool Region::Empty() const { return spans_.empty(); }
Rect Region::Bounds() const { return bounds_; }

std::span<const Region::Span> Region::Row(int32_t y) const {
  if (spans_.empty() || y < top_) return {};
  const int64_t i = static_cast<int64_t>(y) - top_;
  if (i + 1 >= static_cast<int64_t>(row_begin_.size())) return {};
  return std::span<const Span>(spans_.data() + row_begin_[i], row_begin_[i + 1] - row_begin_[i]);
}

bool Region::Contains(int32_t x, int32_t y) const {
  for (const Span& s : Row(y)) {
    if (x >= s.left && x < s.right) return true;
  }
  return false;
}

namespace {

Region RectRegion(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  if (left > right) std::swap(left, right);
  if (top > bottom) std::swap(top, bottom);
  Region region;
  const int64_t rows = static_cast<int64_t>(bottom) - top;
  if (left == right || rows == 0 || rows > Region::kMaxExtent) return region;
  RowBuilder b(static_cast<size_t>(rows));
  for (int64_t i = 0; i < rows; ++i) b.AddRow(left, right);
  return b.Finish(top);
}

}  // namespace

Region Region::FromRows(int32_t top, std::vector<uint32_t> row_begin, std::vector<Span> spans) {
  Region r;
  r.SetRows(top, std::move(row_begin), std::move(spans));
  return r;
}

Region Region::FromRect(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  return RectRegion(left, top, right, bottom);
}

// The ellipse is traced with an integer error term from its middle row outwards, one
// quadrant, and mirrored; rows the trace does not reach stay empty.
Region Region::Ellipse(int32_t left, int32_t top, int32_t right, int32_t bottom) {
  int64_t l = left, t = top, r = right, b = bottom;
  if (l > r) std::swap(l, r);
  if (t > b) std::swap(t, b);
  --r;  // the right column and the bottom row are not part of the region
  --b;
  const int64_t width = r - l, height = b - t;
  Region region;
  if (width < 2 || height < 2) {
    region = RectRegion(static_cast<int32_t>(l), static_cast<int32_t>(t), static_cast<int32_t>(r),
                        static_cast<int32_t>(b));
  } else if (width <= kMaxExtent && height <= kMaxExtent) {
    // inset[row] = how far row's span starts right of l (and ends left of r); -1: empty.
    std::vector<int64_t> inset(static_cast<size_t>(height), -1);
    const int64_t a = width - 1, c = height - 1;
    const int64_t a_step = 8 * a * a, c_step = 8 * c * c;
    int64_t dx = 4 * c * c * (1 - a);
    int64_t dy = 4 * a * a * (1 + c % 2);
    int64_t err = dx + dy + a * a * (c % 2);
    int64_t x = 0, y = height / 2;
    inset[static_cast<size_t>(y)] = 0;
    while (x <= width / 2) {
      const int64_t e2 = 2 * err;
      if (e2 >= dx) {
        ++x;
        dx += c_step;
        err += dx;
      }
      if (e2 <= dy) {
        ++y;
        dy += a_step;
        err += dy;
        if (y < height) inset[static_cast<size_t>(y)] = x;
      }
    }
    for (int64_t i = 0; i < height / 2; ++i) inset[i] = inset[c - i];
    RowBuilder builder(static_cast<size_t>(height));
    for (int64_t i = 0; i < height; ++i) {
      if (inset[i] < 0) {
        builder.AddRow({});
      } else {
        builder.AddRow(static_cast<int32_t>(l + inset[i]), static_cast<int32_t>(r - inset[i]));
      }
    }
    region = builder.Finish(static_cast<int32_t>(t));
  }
  return region;
}

namespace {

// Where the edge from (x0, y0) to (x1, y1), y0 < y1, crosses row y: the first pixel column
// at or right of the crossing, ceil(x0 + (x1 - x0) (y - y0) / (y1 - y0)).
int64_t CrossingColumn(int64_t x0, int64_t y0, int64_t x1, int64_t y1, int64_t y) {
  const int64_t num = (x1 - x0) * (y - y0);  // |num| < 2^33 * kMaxExtent
  const int64_t den = y1 - y0;
  int64_t q = num / den;
  if (num % den != 0 && num > 0) ++q;  // ceil for positive quotients; C++ truncates
  return x0 + q;
}

int32_t ClampToInt32(int64_t v) {
  return static_cast<int32_t>(std::clamp<int64_t>(v, INT32_MIN, INT32_MAX));
}

}  // namespace

Region Region::Polygon(std::span<const PolyPoint> points, int fill_mode) {
  Region region;
  const bool winding = fill_mode == 2;
  if (points.size() >= 3) {
    int64_t top = INT64_MAX, bottom = INT64_MIN;
    for (const PolyPoint& p : points) {
      top = std::min<int64_t>(top, p.y);
      bottom = std::max<int64_t>(bottom, p.y);
    }
    if (bottom > top && bottom - top <= kMaxExtent) {
      struct Crossing {
        int64_t x;
        int direction;
      };
      std::vector<Crossing> crossings;
      std::vector<Span> row;
      RowBuilder builder(static_cast<size_t>(bottom - top));
      for (int64_t y = top; y < bottom; ++y) {
        crossings.clear();
        for (size_t i = 0; i < points.size(); ++i) {
          const PolyPoint& p = points[i];
          const PolyPoint& q = points[(i + 1) % points.size()];
          if (p.y == q.y) continue;
          const bool down = p.y < q.y;
          const PolyPoint& upper = down ? p : q;
          const PolyPoint& lower = down ? q : p;
          if (y < upper.y || y >= lower.y) continue;
          crossings.push_back(
              {CrossingColumn(upper.x, upper.y, lower.x, lower.y, y), down ? 1 : -1});
        }
        std::sort(crossings.begin(), crossings.end(),
                  [](const Crossing& a, const Crossing& b) { return a.x < b.x; });
        row.clear();
        if (winding) {
          int count = 0;
          for (size_t i = 0; i + 1 < crossings.size(); ++i) {
            count += crossings[i].direction;
            if (count != 0) {
              row.push_back({ClampToInt32(crossings[i].x), ClampToInt32(crossings[i + 1].x)});
            }
          }
        } else {
          for (size_t i = 0; i + 1 < crossings.size(); i += 2) {
            row.push_back({ClampToInt32(crossings[i].x), ClampToInt32(crossings[i + 1].x)});
          }
        }
        builder.AddRow(row);
      }
      region = builder.Finish(static_cast<int32_t>(top));
    }
  }
  return region;
}

}  // namespace slidesaver::gdi
